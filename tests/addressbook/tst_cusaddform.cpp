// Tests of the address-book editor TCusAddForm, driven by real mouse and key events.
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QStyleHints>
#include <QTabBar>
#include <QtTest>
#include <memory>

#include "AddressBookTestData.h"
#include "addressbook/AddressBook.h"
#include "addressbook/AddressGrid.h"
#include "addressbook/AddressNameLists.h"
#include "addressbook/AddressPickers.h"
#include "addressbook/AddressRowPages.h"
#include "addressbook/ImportSummaryDialog.h"
#include "addressbook/TCusAddForm.h"
#include "app/WaybillFieldSpecs.h"
#include "platform/HandlerGuard.h"
#include "support/MainWindowFixture.h"
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

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// The texts of a customer row as the edit boxes show them (columns 名称 to 目的地).
QStringList boxTextsOf(const QVariantList& row) {
    QStringList texts;
    for (int c = 1; c <= 5; ++c) texts << (row.at(c).isNull() ? QString() : row.at(c).toString());
    return texts;
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
        QVERIFY(waitForPickerFill(*pickers));
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
    // Acts on the next modal dialog of type T once it is shown; the caller then does what opens
    // it. Gives up after five seconds (the test then fails on what did not happen).
    template <typename T, typename Act>
    void whenShown(Act act) {
        auto* timer = new QTimer(this);
        const QDeadlineTimer deadline(5000);
        connect(timer, &QTimer::timeout, this, [timer, deadline, act] {
            auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            const bool shown =
                dialog && dialog->windowHandle() && dialog->windowHandle()->isExposed();
            if (!shown && !deadline.hasExpired()) return;
            timer->stop();
            timer->deleteLater();
            if (shown) act(dialog);
        });
        timer->start(10);
    }
    // Answers the next file dialog by typing `path` into its name box and pressing Enter.
    void answerFileDialogWith(const QString& path) {
        whenShown<QFileDialog>([path](QFileDialog* dialog) {
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setFocus();
            typeText(name, path);
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Return);
        });
    }
    // Imports `bytes` as a file through "导入", reads the summary and answers it with the button
    // `choose` ("btnSkip", "btnUpdate" or "btnCancel").
    QString importFile(const QByteArray& bytes, const char* choose) {
        const QString file = QDir(folders->workingFolder()).filePath(QStringLiteral("导入.csv"));
        writeFile(file, bytes);
        QString summary;
        answerFileDialogWith(file);
        whenShown<ImportSummaryDialog>([&summary, choose](ImportSummaryDialog* dialog) {
            summary = dialog->lblSummary->text();
            auto* button = dialog->findChild<QPushButton*>(QLatin1String(choose));
            QVERIFY(button && button->isVisible() && button->isEnabled());
            QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {},
                              button->mapTo(dialog, button->rect().center()));
        });
        click(form->btnImport);
        return summary;
    }
    // The user clicks on the editor again after the dialogs (offscreen, no window manager gives
    // it back the activation).
    void backToTheEditor() {
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
    }
    QString exportFile() {
        const QString file =
            QDir(folders->workingFolder()).filePath(QStringLiteral("导出%1.csv").arg(++m_exports));
        answerFileDialogWith(file);
        click(form->btnExport);
        return file;
    }
    int m_exports = 0;

    // All ten fields unfilled, showing their captions as placeholders.
    QStringList captions() const { return QStringList(10, QString()); }

  private slots:
    // Run a second time with QUORVEL_TEST_BOOK=postgres: the same tests on a shared book.
    void initTestCase() { START_SHARED_SERVER_IF_NEEDED(); }
    void cleanupTestCase() { sharedServer().stop(); }

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
        // A sender needs a company or a person.
        typeInto(form->edtSHR, "");
        typeInto(form->EdtKHName, "");
        click(form->BtnKHAdd);
        QCOMPARE(boxes->texts(), QStringList{"请填写客户名称！"});
        QCOMPARE(boxes->shown.first().icon, Icon::Error);
        QCOMPARE(boxes->shown.first().buttons, MessageBoxes::Buttons::Ok);
        QCOMPARE(form->focusWidget(), form->EdtKHName);
        QCOMPARE(rowsOf(path, "SELECT COUNT(*) FROM 发货人").first().first().toInt(), 1);
    }

    void aPrivateSenderWithoutACompanyIsStored() {
        start({{"甲公司", "123", "X路1号", "张三", "北京"}}, {});
        click(form->btnEmpty);
        typeInto(form->edtSHR, "王五");
        typeInto(form->edtTel, "13800000000");
        click(form->BtnKHAdd);
        QVERIFY2(boxes->shown.isEmpty(), qPrintable(boxes->texts().join('|')));
        QCOMPARE(rowsOf(path, "SELECT 单位, 电话, 发货人 FROM 发货人 ORDER BY \"ID\""),
                 (QList<QVariantList>{{"甲公司", "123", "张三"}, {"", "13800000000", "王五"}}));
        // Changing a sender into a private one stores as well.
        clickRow(0);
        QCOMPARE(form->edtSHR->text(), QStringLiteral("张三"));
        typeInto(form->EdtKHName, "");
        click(form->BtnKHEdit);
        QCOMPARE(boxes->texts(), QStringList{"数据修改完成！"});
        QCOMPARE(rowsOf(path, "SELECT 单位 FROM 发货人 WHERE 发货人='张三'"),
                 (QList<QVariantList>{{""}}));
    }

    void aCustomerNameIsTheSameWithSurroundingBlanks_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::newRow("typed with a blank after") << "乙公司"
                                                  << "乙公司 ";
        QTest::newRow("typed with blanks before") << "乙公司"
                                                  << "  乙公司";
        QTest::newRow("stored with a blank after") << "乙公司 "
                                                   << "乙公司";
    }
    void aCustomerNameIsTheSameWithSurroundingBlanks() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}, {stored, "2", "B", "李四", "广州"}});
        clickTab(1);
        const QList<QVariantList> before = rowsOf(path, "SELECT * FROM 客户 ORDER BY \"ID\"");
        // Adding it again is refused and shows the existing customer.
        typeInto(form->EdtKHName, typed);
        click(form->BtnKHAdd);
        QCOMPARE(boxes->texts(), QStringList{"该客户名称已经存在！"});
        QCOMPARE(book->ADOQuery2->text("名称"), stored);
        // Renaming the other customer to it is refused as well.
        boxes->clear();
        clickRow(0);  // 甲公司 (jia before yi)
        QCOMPARE(form->EdtKHName->text(), QStringLiteral("甲公司"));
        typeInto(form->EdtKHName, typed);
        click(form->BtnKHEdit);
        QCOMPARE(boxes->texts(), QStringList{"该名字已经存在！"});
        QCOMPARE(rowsOf(path, "SELECT * FROM 客户 ORDER BY \"ID\""), before);
    }

    void aCustomerIsStoredWithoutSurroundingBlanks() {
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}});
        clickTab(1);
        typeInto(form->EdtKHName, " 丙公司 ");
        click(form->BtnKHAdd);
        QVERIFY(boxes->shown.isEmpty());
        QCOMPARE(rowsOf(path, "SELECT 名称 FROM 客户 ORDER BY \"ID\""),
                 (QList<QVariantList>{{"甲公司"}, {"丙公司"}}));
        // Blanks alone are no name.
        typeInto(form->EdtKHName, "   ");
        click(form->BtnKHAdd);
        QCOMPARE(boxes->texts(), QStringList{"请填写客户名称！"});
        QCOMPARE(rowsOf(path, "SELECT COUNT(*) FROM 客户").first().first().toInt(), 2);
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
        QCOMPARE(rowsOf(path, "SELECT 名称 FROM 客户 ORDER BY \"ID\""),
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
        QCOMPARE(rowsOf(path, "SELECT 名称, 目的地 FROM 客户 ORDER BY \"ID\""),
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

    // --- Another counter on the same book ----------------------------------------------------

    // Another counter added the customer after this editor read the table: the shared book
    // refuses the second row; the user is told and sees the row the other counter stored.
    void addingACustomerAnotherCounterJustAddedShowsItsRow() {
        if (!onSharedBook()) QSKIP("only the shared book keeps names unique against others");
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}});
        clickTab(1);
        execOn(path, "INSERT INTO 客户 (名称, 电话) VALUES ('乙公司', '777')");
        typeInto(form->EdtKHName, " 乙公司");
        typeInto(form->edtTel, "999");
        click(form->BtnKHAdd);
        QCOMPARE(boxes->texts(), QStringList{"该客户名称已经存在（刚由其他柜台保存）！"});
        QCOMPARE(boxes->shown.first().icon, Icon::Error);
        QCOMPARE(book->ADOQuery2->recordCount(), 2);  // read again, the other row included
        QCOMPARE(book->ADOQuery2->state(), AddressQuery::State::Browse);
        QCOMPARE(book->ADOQuery2->text("名称"), QStringLiteral("乙公司"));
        QCOMPARE(book->ADOQuery2->text("电话"), QStringLiteral("777"));
        QCOMPARE(form->DBGrid2->currentIndex().row(), book->ADOQuery2->currentRow());
        QCOMPARE(form->edtTel->text(), QStringLiteral("999"));  // what the user typed
        QCOMPARE(form->busyFlag(), 0);
        QCOMPARE(rowsOf(path, "SELECT 名称, 电话 FROM 客户 ORDER BY \"ID\""),
                 (QList<QVariantList>{{"甲公司", "1"}, {"乙公司", "777"}}));
    }

    // Another counter deleted the row being changed: the change is not reported as done and
    // the row does not come back.
    void changingARowAnotherCounterDeletedSaysSo() {
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}, {"乙公司", "2", "B", "李四", "广州"}});
        clickTab(1);
        QCOMPARE(form->EdtKHName->text(), QStringLiteral("甲公司"));
        execOn(path, "DELETE FROM 客户 WHERE 名称 = '甲公司'");
        typeInto(form->edtTel, "8888");
        click(form->BtnKHEdit);
        QCOMPARE(boxes->texts(), QStringList{"该记录已经被其他柜台删除！"});
        QCOMPARE(book->ADOQuery2->recordCount(), 1);
        QCOMPARE(gridColumn(form->DBGrid2, 1), QStringList{"乙公司"});
        QCOMPARE(form->busyFlag(), 0);
        QCOMPARE(rowsOf(path, "SELECT 名称, 电话 FROM 客户"),
                 (QList<QVariantList>{{"乙公司", "2"}}));
    }

    // The button that makes a shared book's tables is there only for a shared book; on an
    // initialised book it changes nothing and says so.
    void theInitialiseButtonShowsOnlyForASharedBook() {
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}});
        QCOMPARE(form->btnInitShared->isVisible(), onSharedBook());
        if (!onSharedBook()) return;
        QCOMPARE(form->btnInitShared->text(), QStringLiteral("初始化共享通讯录"));
        click(form->btnInitShared);
        QCOMPARE(boxes->texts(), QStringList{"共享通讯录已经存在，没有改变。"});
        QCOMPARE(rowsOf(path, "SELECT 名称 FROM 客户"), (QList<QVariantList>{{"甲公司"}}));
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
        typeInto(form->edtSHR, " ");
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
        QCOMPARE(rowsOf(path, "SELECT 发货人 FROM 发货人 ORDER BY \"ID\""),
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
        QVERIFY(waitForPickerFill(*pickers));
        QCOMPARE(SenderNameList, (QStringList{"阿伟", "张三"}));
        QCOMPARE(cbbSendNames->count(), 2);
        QCOMPARE(cbbSendNames->currentIndex(), -1);
        QCOMPARE(cbbCustomerNames->currentIndex(), -1);
        QCOMPARE(fieldTexts(), captions());
        QVERIFY(boxes->shown.isEmpty());
    }

    void closingRereadsTheBookOnlyWhenItChanged() {
        start({{"甲", "1", "", "张三", ""}}, {{"甲公司", "1", "", "", ""}});
        QSignalSpy reads(book->ADOQuery1, &AddressQuery::resetDone);
        cbbSendNames->setCurrentIndex(0);
        QVERIFY(runGuarded([&] { pickers->cbbSendNamesChange(); }));
        reads.clear();
        // Looked at, nothing changed: the names are not read again.
        clickTab(1);
        key(Qt::Key_Escape);
        QTRY_VERIFY(!form->isVisible());
        QCOMPARE(reads.count(), 0);
        QCOMPARE(cbbSendNames->currentIndex(), -1);
        QCOMPARE(fieldTexts(), captions());
        QCOMPARE(cbbSendNames->count(), 1);
        // A row changed behind the program's back (another connection) is seen.
        execOn(path, "INSERT INTO 发货人 (发货人) VALUES ('李四')");
        QVERIFY(runGuarded([&] { pickers->Fill(); }));
        QVERIFY(waitForPickerFill(*pickers));
        QVERIFY(reads.count() > 0);
        QCOMPARE(SenderNameList, (QStringList{"李四", "张三"}));
        // So is a row the editor deletes.
        delete form;
        form = new TCusAddForm(*book, pickers.get(), mainWindow.get());
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form));
        reads.clear();
        click(form->BtnKHDele);
        key(Qt::Key_Escape);
        QTRY_VERIFY(!form->isVisible());
        QVERIFY(reads.count() > 0);
        QVERIFY(waitForPickerFill(*pickers));
        QCOMPARE(SenderNameList, QStringList{"张三"});
        QCOMPARE(cbbSendNames->count(), 1);
    }

    void aFailingFillKeepsTheDialogOpen() {
        start({{"甲", "1", "", "张三", ""}}, {{"甲公司", "1", "", "", ""}});
        execOn(path, "ALTER TABLE 客户 RENAME TO 旧客户");
        // The shared book counts changed rows, not changed tables: count this one by hand.
        if (onSharedBook()) execOn(path, "UPDATE quorvel_changes SET counter = counter + 1");
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

    // --- Import and export --------------------------------------------------------------------

    void importShowsWhatItWouldDoAndSkipsOrUpdatesExistingCustomers_data() {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("phoneOfJia");
        QTest::newRow("skip") << "btnSkip"
                              << "1";
        QTest::newRow("update") << "btnUpdate"
                                << "999";
    }
    void importShowsWhatItWouldDoAndSkipsOrUpdatesExistingCustomers() {
        QFETCH(QString, choice);
        QFETCH(QString, phoneOfJia);
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}});
        clickTab(1);
        const QString csv = QStringLiteral(
            "名称,电话,地址,收货人,目的地\r\n"
            "甲公司 ,999,新地址,王二,深圳\r\n"
            "乙公司,2,\"人民路 1 号,\r\n3 楼 \"\"东门\"\"\",李四,广州\r\n"
            "   ,5,没有名称,赵六,北京\r\n"
            ",,,,\r\n"
            "丙公司,3,,,\r\n");
        const QString summary = importFile(kUtf8Bom + csv.toUtf8(), qPrintable(choice));
        QVERIFY2(summary.contains(QStringLiteral("新增：2 条")), qPrintable(summary));
        QVERIFY2(summary.contains(QStringLiteral("（将修改该客户）：1 条")), qPrintable(summary));
        QVERIFY2(summary.contains(QStringLiteral("不能导入：1 条")), qPrintable(summary));
        QCOMPARE(boxes->texts(), QStringList{QStringLiteral("导入完成：新增 2 条，修改 %1 条。")
                                                 .arg(choice == "btnUpdate" ? 1 : 0)});
        QCOMPARE(rowsOf(path, "SELECT 名称, 电话, 地址, 收货人, 目的地 FROM 客户 ORDER BY \"ID\""),
                 (QList<QVariantList>{
                     {"甲公司", phoneOfJia, phoneOfJia == "1" ? "A" : "新地址", "王二", "深圳"},
                     {"乙公司", "2", "人民路 1 号,\r\n3 楼 \"东门\"", "李四", "广州"},
                     {"丙公司", "3", "", "", ""}}));
        // The grid shows the book as it is now, still on the customer tab.
        QCOMPARE(form->edtPrompt->text(), QStringLiteral("收货人"));
        QCOMPARE(form->DBGrid2->model()->rowCount(), 3);
    }

    void cancellingTheImportWritesNothing() {
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}});
        clickTab(1);
        const QList<QVariantList> before = rowsOf(path, "SELECT * FROM 客户");
        importFile(QByteArray("名称,电话\r\n乙公司,2\r\n"), "btnCancel");
        QVERIFY(boxes->shown.isEmpty());
        QCOMPARE(rowsOf(path, "SELECT * FROM 客户"), before);
    }

    void importReadsGbkSendersInAnyColumnOrder() {
        start({{"甲公司", "123", "X路1号", "张三", "北京"}}, {});
        // What a spreadsheet program on Chinese Windows saves: GBK, no mark; the columns in
        // another order, one the book does not know, and one missing.
        const QString csv = QStringLiteral(
            "发货人,备注,单位,电话,地址\r\n"
            "李四,老客户,乙公司,456,Y路\r\n"
            "王五,私人,,789,Z路\r\n"
            ",,,000,没有人也没有单位\r\n"
            "张三,,甲公司,123,X路1号\r\n");
        QStringEncoder gbk("GB18030");
        const QByteArray bytes = gbk.encode(csv);
        QVERIFY(!gbk.hasError());
        const QString summary = importFile(bytes, "btnSkip");
        QVERIFY2(summary.contains(QStringLiteral("新增：3 条")), qPrintable(summary));
        QVERIFY2(summary.contains(QStringLiteral("不能导入：1 条")), qPrintable(summary));
        // Senders have nothing unique: an identical one is stored again.
        QCOMPARE(
            rowsOf(path, "SELECT 单位, 电话, 地址, 发货人, 始发地 FROM 发货人 ORDER BY \"ID\""),
            (QList<QVariantList>{{"甲公司", "123", "X路1号", "张三", "北京"},
                                 {"乙公司", "456", "Y路", "李四", ""},
                                 {"", "789", "Z路", "王五", ""},
                                 {"甲公司", "123", "X路1号", "张三", ""}}));
        QCOMPARE(form->edtPrompt->text(), QStringLiteral("发货人"));
        QCOMPARE(form->DBGrid2->model()->rowCount(), 4);
    }

    void aFailureDuringTheImportLeavesTheBookAsItWas() {
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}});
        // The database refuses the third new row.
        if (onSharedBook())
            execOn(path,
                   "ALTER TABLE 客户 ADD CONSTRAINT \"refused by the test\" "
                   "CHECK (名称 <> '坏公司')");
        else
            execOn(path,
                   "CREATE TRIGGER refuse BEFORE INSERT ON 客户 WHEN NEW.名称 = '坏公司' "
                   "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END");
        clickTab(1);
        const QList<QVariantList> before = rowsOf(path, "SELECT * FROM 客户");
        importFile(kUtf8Bom + QStringLiteral("名称,电话\r\n甲公司,999\r\n乙公司,2\r\n丙公司,3\r\n"
                                             "坏公司,4\r\n丁公司,5\r\n")
                                  .toUtf8(),
                   "btnUpdate");
        QCOMPARE(boxes->shown.size(), 1);
        QVERIFY2(boxes->shown.first().text.startsWith(QStringLiteral("导入失败，通讯录没有改变")),
                 qPrintable(boxes->shown.first().text));
        QVERIFY(boxes->shown.first().text.contains(QStringLiteral("refused by the test")));
        QCOMPARE(rowsOf(path, "SELECT * FROM 客户"), before);
        // The editor goes on with the book as it is.
        QCOMPARE(form->DBGrid2->model()->rowCount(), 1);
        backToTheEditor();
        boxes->clear();
        typeInto(form->EdtKHName, "戊公司");
        click(form->BtnKHAdd);
        QVERIFY(boxes->shown.isEmpty());
        QCOMPARE(rowsOf(path, "SELECT COUNT(*) FROM 客户").first().first().toInt(), 2);
    }

    void aFileWithoutTheColumnNamesIsRefused() {
        start({}, {{"甲公司", "1", "A", "王二", "深圳"}});
        clickTab(1);
        const QString file = QDir(folders->workingFolder()).filePath("无表头.csv");
        writeFile(file, QByteArray("乙公司,2,B\r\n"));
        answerFileDialogWith(file);
        click(form->btnImport);
        QCOMPARE(boxes->shown.size(), 1);
        QVERIFY2(boxes->shown.first().text.contains(QStringLiteral("第一行应是列名")),
                 qPrintable(boxes->shown.first().text));
        QCOMPARE(rowsOf(path, "SELECT COUNT(*) FROM 客户").first().first().toInt(), 1);
    }

    void exportWritesTheTabShownAndImportsBackUnchanged() {
        const QList<Customer> customers{
            {"乙公司", "2", "人民路 1 号,\n3 楼 \"东门\"", "李四", "广州"},
            {"甲公司", " 1 ", "", "王二", "深圳"},
        };
        start({{"甲公司", "123", "X路1号", "张三", "北京"}}, customers);
        const QString senders = exportFile();
        QCOMPARE(boxes->texts().size(), 1);
        QVERIFY(boxes->texts().first().startsWith(QStringLiteral("已导出 1 条")));
        QCOMPARE(readFile(senders), kUtf8Bom + QStringLiteral("单位,电话,地址,发货人,始发地\r\n"
                                                              "甲公司,123,X路1号,张三,北京\r\n")
                                                   .toUtf8());
        clickTab(1);
        const QString file = exportFile();
        // Ordered as the editor lists them; fields quoted where a spreadsheet needs it.
        QCOMPARE(
            readFile(file),
            kUtf8Bom + QStringLiteral("名称,电话,地址,收货人,目的地\r\n"
                                      "甲公司,\" 1 \",,王二,深圳\r\n"
                                      "乙公司,2,\"人民路 1 号,\n3 楼 \"\"东门\"\"\",李四,广州\r\n")
                           .toUtf8());
        // Read back into an empty book, every text comes back as it was, except the blanks
        // around the phone, which the import trims.
        const QByteArray exported = readFile(file);
        cleanup();
        start({}, {});
        clickTab(1);
        const QString summary = importFile(exported, "btnSkip");
        QVERIFY2(summary.contains(QStringLiteral("新增：2 条")), qPrintable(summary));
        QCOMPARE(
            rowsOf(path, "SELECT 名称, 电话, 地址, 收货人, 目的地 FROM 客户 ORDER BY \"ID\""),
            (QList<QVariantList>{{"甲公司", "1", "", "王二", "深圳"},
                                 {"乙公司", "2", "人民路 1 号,\n3 楼 \"东门\"", "李四", "广州"}}));
    }

    // --- A book of many blocks ---------------------------------------------------------------

    void aRowScrolledFarDownIsChangedDeletedAndAddedToInPlace() {
        const int n = AddressRowPages::kBlockRows * 3 + 5;
        start({}, variedCustomers(n));
        clickTab(1);
        QList<QVariantList> rows = rowsOf(path, AddressBook::kCustomerListSql);
        AddressGrid* grid = form->DBGrid2;
        clickRow(0);
        key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid->currentIndex().row(), n - 1);
        QCOMPARE(boxTexts(), boxTextsOf(rows.last()));
        // Up a page at a time into the second block.
        for (int i = 0; i < 500 && grid->currentIndex().row() >= 2 * AddressRowPages::kBlockRows;
             ++i)
            key(Qt::Key_PageUp);
        const int shownRow = grid->currentIndex().row();
        QVERIFY(shownRow < 2 * AddressRowPages::kBlockRows);
        QVERIFY(shownRow > AddressRowPages::kBlockRows);
        QCOMPARE(boxTexts(), boxTextsOf(rows.at(shownRow)));

        // Changing a row on the screen writes that row and shows it where it was.
        const int target = shownRow - 2;
        clickRow(target);
        QCOMPARE(boxTexts(), boxTextsOf(rows.at(target)));
        const QString id = rows.at(target).first().toString();
        typeInto(form->edtTel, "555");
        click(form->BtnKHEdit);
        QCOMPARE(boxes->texts(), QStringList{"数据修改完成！"});
        QStringList changed = boxTextsOf(rows.at(target));
        changed[0] = changed[0].trimmed();
        changed[1] = "555";
        QCOMPARE(boxTextsOf(rowsOf(path, "SELECT * FROM 客户 WHERE \"ID\" = " + id).first()),
                 changed);
        QCOMPARE(grid->model()->index(target, 2).data().toString(), QStringLiteral("555"));
        QCOMPARE(grid->model()->index(target, 1).data().toString(), changed[0]);
        QCOMPARE(grid->model()->index(target + 1, 0).data().toString(),
                 rows.at(target + 1).first().toString());

        // Deleting it: the rows after it move up, in the grid and in the boxes.
        boxes->clear();
        click(form->BtnKHDele);
        QCOMPARE(boxes->texts(), QStringList{"确实要删除该条记录？"});
        QVERIFY(rowsOf(path, "SELECT * FROM 客户 WHERE \"ID\" = " + id).isEmpty());
        rows.removeAt(target);
        QCOMPARE(grid->currentIndex().row(), target);
        QCOMPARE(boxTexts(), boxTextsOf(rows.at(target)));
        QStringList ids;
        for (const QVariantList& row : rows) ids << row.first().toString();
        QCOMPARE(gridColumn(grid, 0), ids);

        // Adding: the new customer stands at the end, as the table stored it.
        typeInto(form->EdtKHName, "新的客户");
        click(form->BtnKHAdd);
        QCOMPARE(grid->model()->rowCount(), n);
        QCOMPARE(grid->model()->index(n - 1, 1).data().toString(), QStringLiteral("新的客户"));
        QCOMPARE(grid->model()->index(n - 1, 0).data().toString(),
                 rowsOf(path, "SELECT \"ID\" FROM 客户 WHERE 名称 = '新的客户'")
                     .first()
                     .first()
                     .toString());
        QCOMPARE(gridColumn(grid, 0).mid(0, n - 1), ids);
    }

    void ctrlFFindsRowsFarDownAndWrapsRound() {
        const int n = AddressRowPages::kBlockRows * 3;
        start({}, variedCustomers(n));
        clickTab(1);
        const QList<QVariantList> rows = rowsOf(path, AddressBook::kCustomerListSql);
        auto rowWith = [&](int column, const QString& text, int from) {
            for (int step = 0; step < rows.size(); ++step) {
                const int r = (from + step) % int(rows.size());
                if (rows.at(r).at(column).toString().contains(text, Qt::CaseInsensitive)) return r;
            }
            return -1;
        };
        clickRow(0);
        key(Qt::Key_F, Qt::ControlModifier);
        auto* find = qobject_cast<GridFindDialog*>(form->DBGrid2->findDialog());
        QVERIFY(find);
        QTRY_VERIFY(find->isVisible());
        // The telephone numbers are all different.
        const QString phone = rows.at(n - 10).at(2).toString();
        find->edtFind->setText(phone);
        QTest::mouseClick(find->btnFindNext, Qt::LeftButton);
        QCOMPARE(form->DBGrid2->currentIndex().row(), n - 10);
        QCOMPARE(form->edtTel->text(), phone);
        // From the last Latin name, the next one is the first again.
        const int lastAcme = [&] {
            int r = -1;
            for (int i = 0; i < rows.size(); ++i)
                if (rows.at(i).at(1).toString().contains("acme", Qt::CaseInsensitive)) r = i;
            return r;
        }();
        clickRow(lastAcme);
        find->edtFind->setText("ACME");
        QTest::mouseClick(find->btnFindNext, Qt::LeftButton);
        QCOMPARE(form->DBGrid2->currentIndex().row(), rowWith(1, "acme", 0));
        QTest::mouseClick(find->btnFindNext, Qt::LeftButton);
        QCOMPARE(form->DBGrid2->currentIndex().row(),
                 rowWith(1, "acme", rowWith(1, "acme", 0) + 1));
        QVERIFY(boxes->texts().isEmpty());
    }

    void aNameStoredWithBlanksFarDownIsADuplicate() {
        QList<Customer> customers = variedCustomers(AddressRowPages::kBlockRows * 2);
        customers << Customer{"\u3000远方公司 ", "1", "", "", ""};
        start({}, customers);
        clickTab(1);
        typeInto(form->EdtKHName, "远方公司");
        click(form->BtnKHAdd);
        QCOMPARE(boxes->texts(), QStringList{"该客户名称已经存在！"});
        QCOMPARE(book->ADOQuery2->text("名称"), QStringLiteral("\u3000远方公司 "));
        AddressGrid* grid = form->DBGrid2;
        QCOMPARE(grid->currentIndex().row(), book->ADOQuery2->currentRow());
        QVERIFY(grid->viewport()->rect().intersects(grid->visualRect(grid->currentIndex())));
        QCOMPARE(rowsOf(path, "SELECT COUNT(*) FROM 客户").first().first().toInt(),
                 int(customers.size()));
        // Renaming another customer to it is refused too.
        boxes->clear();
        clickRow(book->ADOQuery2->currentRow() == 0 ? 1 : 0);
        typeInto(form->EdtKHName, "远方公司 ");
        click(form->BtnKHEdit);
        QCOMPARE(boxes->texts(), QStringList{"该名字已经存在！"});
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
