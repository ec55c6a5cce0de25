// Tests of the address-book editor TCusAddForm, driven by real mouse and key events.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleHints>
#include <QTabBar>
#include <QtTest>
#include <memory>

#include "AddressBookTestData.h"
#include "addressbook/AddressBook.h"
#include "addressbook/AddressGrid.h"
#include "addressbook/AddressNameLists.h"
#include "addressbook/AddressPickers.h"
#include "addressbook/TCusAddForm.h"
#include "app/WaybillFieldSpecs.h"
#include "platform/HandlerGuard.h"
#include "support/TestSupport.h"

using namespace testdata;
using Icon = MessageBoxes::Icon;

namespace {

const QString kStatementFailed =
    QStringLiteral("无法连接网络，请检查服务器是否启动或者网络连接是否正常！！");

// Types text as key presses that carry the characters (what an input method delivers for
// Chinese text; QTest::keyClicks only takes Latin-1).
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QStringList gridColumn(AddressGrid* grid, int column) {
    QStringList result;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        result << grid->model()->index(r, column).data().toString();
    return result;
}

}  // namespace

class TestCusAddForm : public QObject {
    Q_OBJECT

    std::unique_ptr<TestFolders> folders;
    std::unique_ptr<RecordingMessageBoxes> boxes;
    std::unique_ptr<QWidget> mainWindow;
    std::unique_ptr<AddressBook> book;
    std::unique_ptr<AddressPickers> pickers;
    TCusAddForm* form = nullptr;
    QString path;
    QComboBox* cbbSendNames = nullptr;
    QComboBox* cbbCustomerNames = nullptr;

    // The main window's part: the book, the pickers and the ten fields; then the dialog.
    void start(const QList<Sender>& senders, const QList<Customer>& customers,
               bool withFile = true) {
        folders = std::make_unique<TestFolders>();
        if (withFile) path = makeBook(folders->dataFolder(), senders, customers);
        boxes = std::make_unique<RecordingMessageBoxes>();
        mainWindow = std::make_unique<QWidget>();
        mainWindow->resize(900, 400);
        cbbSendNames = new QComboBox(mainWindow.get());
        cbbSendNames->setObjectName("cbbSendNames");
        cbbCustomerNames = new QComboBox(mainWindow.get());
        cbbCustomerNames->setObjectName("cbbCustomerNames");
        cbbCustomerNames->move(0, 40);
        for (const WaybillFieldSpec& spec : waybillFieldSpecs()) {
            auto* field = new QComboBox(mainWindow.get());
            field->setObjectName(spec.objectName());
            field->setEditable(true);
            field->lineEdit()->setPlaceholderText(spec.captionText());
        }
        book = std::make_unique<AddressBook>();
        book->ConnectAddressBook();
        pickers = std::make_unique<AddressPickers>(*book, cbbSendNames, cbbCustomerNames,
                                                   AddressPickers::fieldsUnder(mainWindow.get()));
        if (withFile) QVERIFY(runGuarded([&] { pickers->Fill(); }));
        boxes->clear();
        mainWindow->show();
        form = new TCusAddForm(*book, pickers.get(), mainWindow.get());
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form));
    }

    QWindow* win() const { return form->windowHandle(); }

    void click(QWidget* widget, QPoint at = QPoint(-1, -1)) {
        if (at == QPoint(-1, -1)) at = widget->rect().center();
        QTest::mouseClick(win(), Qt::LeftButton, {}, widget->mapTo(form, at));
    }
    void clickTab(int index) {
        click(form->TabControl1, form->TabControl1->tabRect(index).center());
    }
    void clickRow(int row) {
        AddressGrid* grid = form->DBGrid2;
        const QModelIndex index = grid->model()->index(row, 1);
        grid->scrollTo(index);
        const QRect rect = grid->visualRect(index);
        click(grid->viewport(), QPoint(rect.left() + 5, rect.center().y()));
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(win(), k, modifiers);
    }
    // Clicks into a box, selects what it holds and types the text over it.
    void typeInto(QLineEdit* edit, const QString& text) {
        click(edit);
        QTRY_VERIFY(edit->hasFocus());
        key(Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            key(Qt::Key_Delete);
        else
            typeText(edit, text);
        QCOMPARE(edit->text(), text);
    }
    QStringList boxTexts() const {
        return {form->EdtKHName->text(), form->edtTel->text(), form->edtAddress->text(),
                form->edtSHR->text(), form->edtMDD->text()};
    }
    QStringList labelTexts() const {
        return {form->Label4->text(), form->Label3->text(), form->Label13->text(),
                form->Label37->text(), form->Label38->text()};
    }
    QStringList fieldTexts() const {
        QStringList result;
        for (const WaybillFieldSpec& spec : waybillFieldSpecs())
            result << mainWindow->findChild<QComboBox*>(spec.objectName())->currentText();
        return result;
    }
    // All ten fields unfilled, showing their captions as placeholders.
    QStringList captions() const { return QStringList(10, QString()); }

  private slots:
    void cleanup() {
        if (form) {
            form->hide();
            delete form;
            form = nullptr;
        }
        pickers.reset();
        book.reset();
        mainWindow.reset();
        boxes.reset();
        folders.reset();
        SenderNameList.clear();
        CustomerNameList.clear();
    }

    // --- Opening and the tabs ------------------------------------------------------------------

    void openingShowsTheSendersInSenderMode() {
        start(
            {{"甲公司", "123", "X路1号", "张三", "北京"}, {"乙公司", "456", "Y路", "李四", "上海"}},
            {});
        QCOMPARE(form->windowTitle(), QStringLiteral("发货人、客户添加与编辑"));
        QCOMPARE(form->TabControl1->currentIndex(), 0);
        QCOMPARE(form->TabControl1->tabText(0), QStringLiteral("编辑发货人名字"));
        QCOMPARE(form->TabControl1->tabText(1), QStringLiteral("编辑客户名字"));
        QCOMPARE(form->edtPrompt->text(), QStringLiteral("发货人"));
        QVERIFY(!form->edtPrompt->isVisible());
        QVERIFY(!form->btnEditSend->isVisible());
        QVERIFY(!form->btnEditGet->isVisible());
        QCOMPARE(labelTexts(),
                 (QStringList{"发货单位", "发货电话", "始发地址", "发货人", "始发地"}));
        QCOMPARE(form->btnEmpty->text(), QStringLiteral("清空输入框"));
        QCOMPARE(form->BtnKHAdd->text(), QStringLiteral("添加发货人"));
        QCOMPARE(form->BtnKHEdit->text(), QStringLiteral("修改发货人"));
        QCOMPARE(form->BtnKHDele->text(), QStringLiteral("删除发货人"));
        // Ordered by 发货人; the first sender fills the boxes.
        QCOMPARE(gridColumn(form->DBGrid2, 4), (QStringList{"李四", "张三"}));
        QCOMPARE(boxTexts(), (QStringList{"乙公司", "456", "Y路", "李四", "上海"}));
        QCOMPARE(form->focusWidget(), form->EdtKHName);
        QVERIFY(boxes->shown.isEmpty());
    }

    void theGridIsSetUpAsDesigned() {
        start({{"甲公司", "123", "X路1号", "张三", "北京"}}, {});
        AddressGrid* grid = form->DBGrid2;
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("单位"));
        QVERIFY(grid->isColumnHidden(0));
        const int widths[] = {30, 12, 40, 12, 20};
        for (int i = 0; i < 5; ++i) {
            QVERIFY(!grid->isColumnHidden(i + 1));
            QCOMPARE(grid->columnWidth(i + 1), grid->widthForCharacters(widths[i]));
        }
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(grid->horizontalHeader()->sectionsMovable());
        QVERIFY(grid->model()->headerData(0, Qt::Vertical).toString().endsWith("1"));
        QVERIFY(grid->model()->headerData(0, Qt::Vertical).toString().startsWith("▶"));
        // A double click does not edit a cell.
        const QRect cell = grid->visualRect(grid->model()->index(0, 1));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(!grid->indexWidget(grid->model()->index(0, 1)));
        QVERIFY(!grid->findChild<QLineEdit*>());
    }

    void theSelectedRowIsPaintedInTheCaptionColour() {
        start({{"甲", "1", "", "张三", ""}, {"乙", "2", "", "李四", ""}}, {});
        AddressGrid* grid = form->DBGrid2;
        clickRow(1);
        QCOMPARE(book->ADOQuery2->currentRow(), 1);
        const QImage image = grid->viewport()->grab().toImage();
        const QRect selected = grid->visualRect(grid->model()->index(1, 2));
        const QRect other = grid->visualRect(grid->model()->index(0, 2));
        const QPoint inSelected(selected.right() - 3, selected.top() + 3);
        const QPoint inOther(other.right() - 3, other.top() + 3);
        QCOMPARE(image.pixelColor(inSelected * image.devicePixelRatio()),
                 TCusAddForm::kSelectedRowColor);
        QVERIFY(image.pixelColor(inOther * image.devicePixelRatio()) !=
                TCusAddForm::kSelectedRowColor);
    }

    void theCustomerTabShowsTheCustomers() {
        start({{"甲公司", "123", "X路1号", "张三", "北京"}},
              {{"乙公司", "2", "B", "李四", "广州"}, {"甲公司", "1", "A", "王二", "深圳"}});
        clickTab(1);
        QCOMPARE(form->TabControl1->currentIndex(), 1);
        QCOMPARE(form->edtPrompt->text(), QStringLiteral("收货人"));
        QCOMPARE(labelTexts(),
                 (QStringList{"客户名称", "客户电话", "客户地址", "收货人", "目的地"}));
        QCOMPARE(form->BtnKHAdd->text(), QStringLiteral("添加客户"));
        QCOMPARE(form->BtnKHEdit->text(), QStringLiteral("修改客户"));
        QCOMPARE(form->BtnKHDele->text(), QStringLiteral("删除客户"));
        QCOMPARE(gridColumn(form->DBGrid2, 1), (QStringList{"甲公司", "乙公司"}));
        QCOMPARE(boxTexts(), (QStringList{"甲公司", "1", "A", "王二", "深圳"}));
        QVERIFY(form->DBGrid2->isColumnHidden(0));
        QCOMPARE(form->focusWidget(), form->EdtKHName);
        clickTab(0);
        QCOMPARE(form->edtPrompt->text(), QStringLiteral("发货人"));
        QCOMPARE(boxTexts(), (QStringList{"甲公司", "123", "X路1号", "张三", "北京"}));
    }

    void anEmptyCustomerTableKeepsTheSenderTexts() {
        start({{"甲公司", "123", "X路1号", "张三", "北京"}}, {});
        clickTab(1);
        QCOMPARE(form->DBGrid2->model()->rowCount(), 0);
        QCOMPARE(boxTexts(), (QStringList{"甲公司", "123", "X路1号", "张三", "北京"}));
    }

    // --- Add ----------------------------------------------------------------------------------

    void addingAnExistingCustomerNameIsRefused() {
        start({}, {{"甲公司", "1", "A", "王二", "深圳"},
                   {"乙公司", "2", "B", "李四", "广州"},
                   {"丙公司", "3", "C", "赵五", "北京"}});
        clickTab(1);
        clickRow(2);  // 丙公司 (甲, 乙, 丙 by pinyin: bing, jia, yi) -- whichever, not 甲公司
        const QString current = form->EdtKHName->text();
        QVERIFY(current != QStringLiteral("甲公司"));
        typeInto(form->EdtKHName, "甲公司");
        typeInto(form->edtTel, "999");
        click(form->BtnKHAdd);
        QCOMPARE(boxes->texts(), QStringList{"该客户名称已经存在！"});
        QCOMPARE(boxes->shown.first().icon, Icon::Error);
        QCOMPARE(book->ADOQuery2->text("名称"), QStringLiteral("甲公司"));  // now current
        QCOMPARE(form->DBGrid2->currentIndex().row(), book->ADOQuery2->currentRow());
        QCOMPARE(form->EdtKHName->text(), QStringLiteral("甲公司"));
        QCOMPARE(form->edtTel->text(), QStringLiteral("999"));  // what the user typed
        QCOMPARE(form->busyFlag(), 0);
        QCOMPARE(form->focusWidget(), form->EdtKHName);
        QCOMPARE(rowsOf(path, "SELECT COUNT(*) FROM 客户").first().first().toInt(), 3);
        // Moving through the grid fills the boxes again.
        const int other = book->ADOQuery2->currentRow() == 0 ? 1 : 0;
        clickRow(other);
        QCOMPARE(form->EdtKHName->text(), book->ADOQuery2->text("名称"));
        QVERIFY(form->edtTel->text() != QStringLiteral("999"));
    }

    void addingACustomerWithOnlyItsNameStoresEmptyTexts() {
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}});
        clickTab(1);
        click(form->btnEmpty);
        QCOMPARE(boxTexts(), (QStringList{"", "", "", "", ""}));
        typeInto(form->EdtKHName, "乙公司");
        click(form->BtnKHAdd);
        QVERIFY(boxes->shown.isEmpty());
        QCOMPARE(
            rowsOf(path, "SELECT 名称, 电话, 地址, 收货人, 目的地 FROM 客户 WHERE 名称='乙公司'"),
            (QList<QVariantList>{{"乙公司", "", "", "", ""}}));
        QCOMPARE(boxTexts(), (QStringList{"", "", "", "", ""}));
        QCOMPARE(form->focusWidget(), form->EdtKHName);
        QCOMPARE(form->busyFlag(), 0);
        QCOMPARE(form->DBGrid2->model()->rowCount(), 2);
        QCOMPARE(gridColumn(form->DBGrid2, 1).last(), QStringLiteral("乙公司"));
    }

    void addingAnIdenticalSenderStoresASecondRow() {
        start({{"甲公司", "123", "X路1号", "张三", "北京"}}, {});
        QCOMPARE(boxTexts(), (QStringList{"甲公司", "123", "X路1号", "张三", "北京"}));
        click(form->BtnKHAdd);
        QVERIFY(boxes->shown.isEmpty());
        QCOMPARE(rowsOf(path, "SELECT 单位, 电话, 地址, 发货人, 始发地 FROM 发货人"),
                 (QList<QVariantList>{{"甲公司", "123", "X路1号", "张三", "北京"},
                                      {"甲公司", "123", "X路1号", "张三", "北京"}}));
    }

    void addingWithAnEmptyFirstBoxAsksForTheName() {
        start({{"甲公司", "123", "X路1号", "张三", "北京"}}, {});
        typeInto(form->EdtKHName, "");
        click(form->BtnKHAdd);
        QCOMPARE(boxes->texts(), QStringList{"请填写客户名称！"});
        QCOMPARE(boxes->shown.first().icon, Icon::Error);
        QCOMPARE(boxes->shown.first().buttons, MessageBoxes::Buttons::Ok);
        QCOMPARE(form->focusWidget(), form->EdtKHName);
        QCOMPARE(rowsOf(path, "SELECT COUNT(*) FROM 发货人").first().first().toInt(), 1);
    }

    // --- Change -------------------------------------------------------------------------------

    void changingToAnotherRowsNameIsRefused() {
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}, {"乙公司", "2", "B", "李四", "广州"}});
        clickTab(1);
        QCOMPARE(form->EdtKHName->text(), QStringLiteral("甲公司"));
        typeInto(form->EdtKHName, "乙公司");
        click(form->BtnKHEdit);
        QCOMPARE(boxes->texts(), QStringList{"该名字已经存在！"});
        QCOMPARE(boxes->shown.first().icon, Icon::Error);
        QCOMPARE(form->busyFlag(), 0);
        QCOMPARE(rowsOf(path, "SELECT 名称 FROM 客户 ORDER BY ID"),
                 (QList<QVariantList>{{"甲公司"}, {"乙公司"}}));
        clickRow(1);
        QCOMPARE(form->EdtKHName->text(), QStringLiteral("乙公司"));
    }

    void changingToAFreeNameStores() {
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}, {"乙公司", "2", "B", "李四", "广州"}});
        clickTab(1);
        typeInto(form->EdtKHName, "丙公司");
        typeInto(form->edtMDD, "重庆");
        click(form->BtnKHEdit);
        QCOMPARE(boxes->texts(), QStringList{"数据修改完成！"});
        QCOMPARE(boxes->shown.first().icon, Icon::Information);
        QCOMPARE(form->focusWidget(), form->DBGrid2);
        QCOMPARE(boxTexts(), (QStringList{"丙公司", "1", "A", "王二", "重庆"}));
        QCOMPARE(rowsOf(path, "SELECT 名称, 目的地 FROM 客户 ORDER BY ID"),
                 (QList<QVariantList>{{"丙公司", "重庆"}, {"乙公司", "广州"}}));
    }

    void changingOnlyTheTelephoneUnderItsOwnNameStores() {
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}});
        clickTab(1);
        typeInto(form->edtTel, "8888");
        click(form->BtnKHEdit);
        QCOMPARE(boxes->texts(), QStringList{"数据修改完成！"});
        QCOMPARE(rowsOf(path, "SELECT 名称, 电话 FROM 客户"),
                 (QList<QVariantList>{{"甲公司", "8888"}}));
    }

    void changingASenderStoresItsColumns() {
        start({{"甲公司", "123", "X路1号", "张三", "北京"}}, {});
        typeInto(form->edtSHR, "张三丰");
        typeInto(form->edtAddress, "武当山");
        click(form->BtnKHEdit);
        QCOMPARE(boxes->texts(), QStringList{"数据修改完成！"});
        QCOMPARE(rowsOf(path, "SELECT 单位, 电话, 地址, 发货人, 始发地 FROM 发货人"),
                 (QList<QVariantList>{{"甲公司", "123", "武当山", "张三丰", "北京"}}));
    }

    void changingOnAnEmptyTableStoresANewRow() {
        start({}, {});
        clickTab(1);
        typeInto(form->EdtKHName, "甲公司");
        typeInto(form->edtTel, "1");
        click(form->BtnKHEdit);
        QCOMPARE(boxes->texts(), QStringList{"数据修改完成！"});
        QCOMPARE(rowsOf(path, "SELECT 名称, 电话 FROM 客户"),
                 (QList<QVariantList>{{"甲公司", "1"}}));
    }

    void changingWithAnEmptyFirstBoxAsksForTheName() {
        start({{"甲公司", "123", "X路1号", "张三", "北京"}}, {});
        typeInto(form->EdtKHName, "");
        click(form->BtnKHEdit);
        QCOMPARE(boxes->texts(), QStringList{"请填写客户名称！"});
        QCOMPARE(form->focusWidget(), form->BtnKHEdit);  // the focus stays where it is
    }

    // --- Delete -------------------------------------------------------------------------------

    void deleteAnsweredWithCancelDeletesNothing() {
        start({{"甲", "1", "", "张三", ""}, {"乙", "2", "", "李四", ""}}, {});
        boxes->nextAnswer = MessageBoxes::Answer::Cancel;
        click(form->BtnKHDele);
        QCOMPARE(boxes->texts(), QStringList{"确实要删除该条记录？"});
        QCOMPARE(boxes->shown.first().icon, Icon::Confirmation);
        QCOMPARE(boxes->shown.first().buttons, MessageBoxes::Buttons::OkCancel);
        QCOMPARE(rowsOf(path, "SELECT COUNT(*) FROM 发货人").first().first().toInt(), 2);
        QCOMPARE(form->focusWidget(), form->DBGrid2);
    }

    void deleteRemovesTheCurrentRowAndShowsTheNext() {
        start(
            {{"甲", "1", "", "张三", ""}, {"乙", "2", "", "李四", ""}, {"丙", "3", "", "王二", ""}},
            {});
        // 李四, 王二, 张三
        clickRow(1);
        QCOMPARE(form->edtSHR->text(), QStringLiteral("王二"));
        click(form->BtnKHDele);
        QCOMPARE(boxes->texts(), QStringList{"确实要删除该条记录？"});
        QCOMPARE(rowsOf(path, "SELECT 发货人 FROM 发货人 ORDER BY ID"),
                 (QList<QVariantList>{{"张三"}, {"李四"}}));
        QCOMPARE(form->edtSHR->text(), QStringLiteral("张三"));
        QCOMPARE(form->DBGrid2->currentIndex().row(), 1);
        QCOMPARE(form->focusWidget(), form->DBGrid2);
        // The last row: the one before it becomes current.
        click(form->BtnKHDele);
        QCOMPARE(form->edtSHR->text(), QStringLiteral("李四"));
        click(form->BtnKHDele);
        QCOMPARE(rowsOf(path, "SELECT COUNT(*) FROM 发货人").first().first().toInt(), 0);
        QCOMPARE(form->edtSHR->text(), QStringLiteral("李四"));  // keeps the deleted row's texts
        // On an empty table it asks and deletes nothing.
        boxes->clear();
        click(form->BtnKHDele);
        QCOMPARE(boxes->texts(), QStringList{"确实要删除该条记录？"});
        QCOMPARE(form->focusWidget(), form->DBGrid2);
    }

    // --- Keys and the other button ----------------------------------------------------------

    void enterMovesToTheNextControl() {
        start({{"甲", "1", "", "张三", ""}}, {});
        click(form->EdtKHName);
        QTRY_COMPARE(form->focusWidget(), form->EdtKHName);
        key(Qt::Key_Return);
        QCOMPARE(form->focusWidget(), form->edtTel);
        key(Qt::Key_Enter);
        QCOMPARE(form->focusWidget(), form->edtAddress);
        key(Qt::Key_Return);
        QCOMPARE(form->focusWidget(), form->edtSHR);
        key(Qt::Key_Return);
        QCOMPARE(form->focusWidget(), form->edtMDD);
        key(Qt::Key_Return);
        QCOMPARE(form->focusWidget(), form->BtnKHDele);
        QVERIFY(boxes->shown.isEmpty());  // Enter in a box pressed no button
        QVERIFY(form->isVisible());
        // Other characters pass unchanged.
        click(form->edtTel);
        typeText(form->edtTel, "x");
        QCOMPARE(form->edtTel->text(), QStringLiteral("1x"));
    }

    void emptyClearsTheBoxesAndKeepsTheRow() {
        start({{"甲", "1", "", "张三", ""}, {"乙", "2", "", "李四", ""}}, {});
        clickRow(1);
        click(form->btnEmpty);
        QCOMPARE(boxTexts(), (QStringList{"", "", "", "", ""}));
        QCOMPARE(book->ADOQuery2->currentRow(), 1);
        QCOMPARE(form->focusWidget(), form->EdtKHName);
    }

    // --- Closing ------------------------------------------------------------------------------

    void closingRefillsThePickersAndResetsTheFields() {
        start({{"甲", "1", "", "张三", ""}}, {{"甲公司", "1", "", "", ""}});
        // A chosen sender before the editor opened.
        cbbSendNames->setCurrentIndex(0);
        QVERIFY(runGuarded([&] { pickers->cbbSendNamesChange(); }));
        QVERIFY(fieldTexts() != captions());
        typeInto(form->EdtKHName, "乙");
        typeInto(form->edtSHR, "阿伟");
        click(form->BtnKHAdd);
        key(Qt::Key_Escape);
        QTRY_VERIFY(!form->isVisible());
        QVERIFY(!book->ADOQuery2->isOpen());
        QCOMPARE(SenderNameList, (QStringList{"阿伟", "张三"}));
        QCOMPARE(cbbSendNames->count(), 2);
        QCOMPARE(cbbSendNames->currentIndex(), -1);
        QCOMPARE(cbbCustomerNames->currentIndex(), -1);
        QCOMPARE(fieldTexts(), captions());
        QVERIFY(boxes->shown.isEmpty());
    }

    void aFailingFillKeepsTheDialogOpen() {
        start({{"甲", "1", "", "张三", ""}}, {{"甲公司", "1", "", "", ""}});
        execOn(path, "ALTER TABLE 客户 RENAME TO 旧客户");
        key(Qt::Key_Escape);
        QCOMPARE(boxes->texts(), QStringList{kStatementFailed});
        QVERIFY(form->isVisible());
        QVERIFY(!book->ADOQuery2->isOpen());
        QCOMPARE(form->DBGrid2->model()->rowCount(), 0);
        // Not connected any more: add, change and delete say so.
        boxes->clear();
        typeInto(form->EdtKHName, "乙");
        click(form->BtnKHAdd);
        click(form->BtnKHEdit);
        click(form->BtnKHDele);
        QCOMPARE(boxes->texts(),
                 (QStringList{"未连接服务器，请重新打开本页面......！",
                              "未连接服务器，请重新打开本页面......！", "请先连接服务器......！"}));
        // Each later attempt repeats the fill; once it succeeds the dialog closes.
        boxes->clear();
        form->close();
        QCOMPARE(boxes->texts(), QStringList{kStatementFailed});
        QVERIFY(form->isVisible());
        execOn(path, "ALTER TABLE 旧客户 RENAME TO 客户");
        boxes->clear();
        form->close();
        QVERIFY(!form->isVisible());
        QVERIFY(boxes->shown.isEmpty());
    }

    void withoutAConnectionTheDialogStillOpens() {
        start({}, {}, /*withFile=*/false);
        // ConnectAddressBook's message came before; the dialog's first mode switch failed.
        QCOMPARE(boxes->texts(), QStringList{kStatementFailed});
        QVERIFY(form->isVisible());
        QCOMPARE(form->edtPrompt->text(), QStringLiteral("发货人"));
        QCOMPARE(form->BtnKHAdd->text(), QStringLiteral("添加发货人"));
        QCOMPARE(form->DBGrid2->model()->rowCount(), 0);
        boxes->clear();
        typeInto(form->EdtKHName, "甲");
        click(form->BtnKHAdd);
        click(form->BtnKHDele);
        QCOMPARE(boxes->texts(),
                 (QStringList{"未连接服务器，请重新打开本页面......！", "请先连接服务器......！"}));
    }

    void button2ClickShowsTheDialogModallyAndDestroysIt() {
        start({{"甲", "1", "", "张三", ""}}, {});
        form->hide();
        delete form;
        form = nullptr;
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            QVERIFY(CusAddForm);
            QVERIFY(CusAddForm->isModal() || CusAddForm->windowModality() != Qt::NonModal);
            QCOMPARE(CusAddForm->parentWidget(), mainWindow.get());
            QCOMPARE(CusAddForm->EdtKHName->text(), QStringLiteral("甲"));
            seen = true;
            QTest::keyClick(CusAddForm->windowHandle(), Qt::Key_Escape);
        });
        TCusAddForm::Button2Click(*book, pickers.get(), mainWindow.get());
        QVERIFY(seen);
        QVERIFY(!CusAddForm);
        QVERIFY(!mainWindow->findChild<TCusAddForm*>());
    }

    // --- The grid's find ---------------------------------------------------------------------

    void theGridFindsText() {
        start({{"甲", "1", "", "张三", ""},
               {"乙", "2", "深圳路", "李四", ""},
               {"丙", "3", "", "王二", ""}},
              {});
        click(form->DBGrid2->viewport(), QPoint(5, 5));
        key(Qt::Key_F, Qt::ControlModifier);
        auto* find = qobject_cast<GridFindDialog*>(form->DBGrid2->findDialog());
        QVERIFY(find);
        QTRY_VERIFY(find->isVisible());
        find->edtFind->setText(QStringLiteral("深圳"));
        QTest::mouseClick(find->btnFindNext, Qt::LeftButton);
        QCOMPARE(book->ADOQuery2->text("发货人"), QStringLiteral("李四"));
        QCOMPARE(form->EdtKHName->text(), QStringLiteral("乙"));
        find->edtFind->setText(QStringLiteral("没有"));
        QTest::mouseClick(find->btnFindNext, Qt::LeftButton);
        QCOMPARE(boxes->texts(), QStringList{"找不到“没有”。"});
        QVERIFY(form->DBGrid2->findNext(QStringLiteral("王")));
        QCOMPARE(book->ADOQuery2->text("发货人"), QStringLiteral("王二"));
    }
};

QTEST_MAIN(TestCusAddForm)
#include "tst_cusaddform.moc"
