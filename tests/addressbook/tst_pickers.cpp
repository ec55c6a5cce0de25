// Tests of the sender and customer pickers, driven by real mouse and key events.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QStyleHints>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

#include "AddressBookTestData.h"
#include "addressbook/AddressBook.h"
#include "addressbook/AddressNameLists.h"
#include "addressbook/AddressPickers.h"
#include "app/WaybillFieldSpecs.h"
#include "platform/HandlerGuard.h"
#include "support/MainWindowFixture.h"
#include "support/TestSupport.h"

using namespace testdata;

namespace {

const QString kStatementFailed =
    QStringLiteral("无法连接网络，请检查服务器是否启动或者网络连接是否正常！！");

QStringList entriesOf(const QComboBox* picker) {
    QStringList entries;
    for (int i = 0; i < picker->count(); ++i) entries << picker->itemText(i);
    return entries;
}

// A stand-in for the main window: the two pickers and the ten fields (editable combo boxes in
// "simple" style, empty with their captions as placeholders), as the main window lays them out.
struct Window {
    QWidget widget;
    QComboBox* cbbSendNames;
    QComboBox* cbbCustomerNames;
    QWidget* band;

    Window() {
        widget.resize(900, 400);
        cbbSendNames = new QComboBox(&widget);
        cbbSendNames->setObjectName("cbbSendNames");
        cbbSendNames->setGeometry(600, 16, 113, 21);
        cbbCustomerNames = new QComboBox(&widget);
        cbbCustomerNames->setObjectName("cbbCustomerNames");
        cbbCustomerNames->setGeometry(600, 56, 113, 21);
        band = new QWidget(&widget);
        band->setObjectName("DetailBand1");
        band->setGeometry(0, 100, 900, 300);
        for (const WaybillFieldSpec& spec : waybillFieldSpecs()) {
            auto* field = new QComboBox(band);
            field->setObjectName(spec.objectName());
            field->setEditable(true);
            field->lineEdit()->setPlaceholderText(spec.captionText());
            field->setGeometry(spec.left % 800, spec.top % 280, spec.width, spec.height);
        }
    }
    QComboBox* field(const char* name) const {
        return band->findChild<QComboBox*>(QString::fromLatin1(name));
    }
    QStringList texts(std::initializer_list<const char*> names) const {
        QStringList result;
        for (const char* n : names) result << field(n)->currentText();
        return result;
    }
    QStringList senderTexts() const { return texts({"cbb1", "cbb2", "cbb3", "cbb4", "cbb5"}); }
    QStringList customerTexts() const {
        return texts({"cbb11", "cbb22", "cbb33", "cbb44", "cbb55"});
    }
};

// A side showing its placeholders: the five fields are empty, so that the captions show and
// nothing of them is printed.
const QStringList kSenderPlaceholders(5, QString());
const QStringList kCustomerPlaceholders(5, QString());

}  // namespace

class TestPickers : public QObject {
    Q_OBJECT

    std::unique_ptr<TestFolders> folders;
    std::unique_ptr<RecordingMessageBoxes> boxes;
    std::unique_ptr<Window> window;
    std::unique_ptr<AddressBook> book;
    std::unique_ptr<AddressPickers> pickers;
    QString path;

    void start(const QList<Sender>& senders, const QList<Customer>& customers) {
        folders = std::make_unique<TestFolders>();
        path = makeBook(folders->dataFolder(), senders, customers);
        boxes = std::make_unique<RecordingMessageBoxes>();
        window = std::make_unique<Window>();
        book = std::make_unique<AddressBook>();
        book->ConnectAddressBook();
        pickers =
            std::make_unique<AddressPickers>(*book, window->cbbSendNames, window->cbbCustomerNames,
                                             AddressPickers::fieldsUnder(&window->widget));
        QVERIFY(runGuarded([&] { pickers->Fill(); }));
        QVERIFY(waitForPickerFill(*pickers));
        window->widget.show();
        QVERIFY(QTest::qWaitForWindowActive(&window->widget));
    }

    // Opens a picker's list with the mouse and clicks the entry in row `row`.
    void choose(QComboBox* picker, int row) { clickListEntry(picker, row); }

    // Releases (and presses) a key while the picker has the focus, as a person does.
    void typeKey(QComboBox* picker, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        picker->setFocus();
        QTRY_VERIFY(picker->hasFocus() || picker->view()->isVisible());
        QTest::keyClick(window->widget.windowHandle(), key, modifiers);
        if (picker->view()->isVisible()) picker->hidePopup();
    }

  private slots:
    void initTestCase() {
        // The popup ignores a release that comes within a double-click time of its opening.
        QGuiApplication::styleHints()->setMouseDoubleClickInterval(50);
    }

    void cleanup() {
        pickers.reset();
        book.reset();
        window.reset();
        boxes.reset();
        folders.reset();
        SenderNameList.clear();
        CustomerNameList.clear();
    }

    void theFillListsEveryNameInOrderAndChoosesNothing() {
        start({{"甲", "", "", "张三", ""}, {"乙", "", "", "李四", ""}, {"丙", "", "", "张三", ""}},
              {{"乙公司", "", "", "", ""}, {"甲公司", "", "", "", ""}});
        QCOMPARE(SenderNameList, (QStringList{"李四", "张三", "张三"}));
        QCOMPARE(CustomerNameList, (QStringList{"甲公司", "乙公司"}));
        // Equal names show what tells them apart.
        QCOMPARE(entriesOf(window->cbbSendNames),
                 (QStringList{"李四", "张三（甲）", "张三（丙）"}));
        QCOMPARE(entriesOf(window->cbbCustomerNames), CustomerNameList);
        QCOMPARE(window->cbbSendNames->currentIndex(), -1);
        QCOMPARE(window->cbbCustomerNames->currentIndex(), -1);
        QCOMPARE(window->senderTexts(), kSenderPlaceholders);
        QCOMPARE(window->customerTexts(), kCustomerPlaceholders);
        QVERIFY(boxes->shown.isEmpty());
    }

    void choosingASenderFillsTheSenderFields() {
        start({{"甲公司", "123", "X路1号", "张三", "北京"}, {"乙", "9", "Y", "李四", "上海"}}, {});
        choose(window->cbbSendNames, 1);  // 李四, 张三
        QCOMPARE(window->cbbSendNames->currentText(), QStringLiteral("张三"));
        QCOMPARE(window->senderTexts(), (QStringList{"张三", "北京", "X路1号", "123", "甲公司"}));
        QCOMPARE(window->customerTexts(), kCustomerPlaceholders);
        QVERIFY(!book->ADOQuery1->isOpen());
    }

    void choosingACustomerFillsTheRecipientFields() {
        start({}, {{"乙公司", "456", "Z路2号", "李四", ""}});
        choose(window->cbbCustomerNames, 0);
        QCOMPARE(window->customerTexts(), (QStringList{"李四", "", "Z路2号", "456", "乙公司"}));
        QCOMPARE(window->senderTexts(), kSenderPlaceholders);
    }

    void theEmptyTopEntryPutsThePlaceholdersBack() {
        start({},
              {{"张三", "1", "A", "B", "C"}, {"李四", "", "", "", ""}, {"赵五", "", "", "", ""}});
        choose(window->cbbCustomerNames, 1);  // 李四, 张三, 赵五
        QCOMPARE(window->field("cbb55")->currentText(), QStringLiteral("张三"));
        typeKey(window->cbbCustomerNames, Qt::Key_Z);
        QCOMPARE(entriesOf(window->cbbCustomerNames), (QStringList{"", "张三", "赵五"}));
        // The filter runs no change operation: the fields keep their texts.
        QCOMPARE(window->field("cbb55")->currentText(), QStringLiteral("张三"));
        choose(window->cbbCustomerNames, 0);
        QCOMPARE(window->customerTexts(), kCustomerPlaceholders);
    }

    void aNameWithoutARowEmptiesItsSide() {
        start({{"甲", "1", "2", "张三", "3"}}, {});
        execOn(path, "DELETE FROM 发货人");
        choose(window->cbbSendNames, 0);
        QCOMPARE(window->senderTexts(), (QStringList{"", "", "", "", ""}));
    }

    void aNameWithQuotesIsFound() {
        start({{"引号公司", "1", "2", "张\"三\"", "3"}}, {{"\"单位\"", "7", "", "", ""}});
        choose(window->cbbSendNames, 0);
        QCOMPARE(window->senderTexts(), (QStringList{"张\"三\"", "3", "2", "1", "引号公司"}));
        choose(window->cbbCustomerNames, 0);
        QCOMPARE(window->field("cbb44")->currentText(), QStringLiteral("7"));
        QCOMPARE(window->field("cbb55")->currentText(), QStringLiteral("\"单位\""));
        QVERIFY(boxes->shown.isEmpty());
    }

    void twoSendersWithOneNameFillEachFromItsOwnRow() {
        start({{"甲", "1", "", "张三", ""}, {"乙", "2", "", "张三", ""}}, {});
        QCOMPARE(entriesOf(window->cbbSendNames), (QStringList{"张三（甲 …1）", "张三（乙 …2）"}));
        choose(window->cbbSendNames, 1);
        QCOMPARE(window->field("cbb5")->currentText(), QStringLiteral("乙"));
        choose(window->cbbSendNames, 0);
        QCOMPARE(window->field("cbb5")->currentText(), QStringLiteral("甲"));
    }

    void aFailingLookupKeepsTheFields() {
        start({{"甲", "1", "", "张三", ""}}, {});
        choose(window->cbbSendNames, 0);
        QCOMPARE(window->field("cbb5")->currentText(), QStringLiteral("甲"));
        execOn(path, "ALTER TABLE 发货人 RENAME TO 旧发货人");
        window->field("cbb5")->setEditText("typed");
        choose(window->cbbSendNames, 0);
        QCOMPARE(boxes->texts(), QStringList{kStatementFailed});
        QCOMPARE(window->field("cbb5")->currentText(), QStringLiteral("typed"));
        QVERIFY(!book->ADOQuery1->isOpen());
    }

    void aFailingFillKeepsTheListsAndAbortsSilently() {
        start({{"甲", "1", "", "张三", ""}}, {{"乙公司", "", "", "", ""}});
        execOn(path, "ALTER TABLE 客户 RENAME TO 旧客户");
        execOn(path, "INSERT INTO 发货人 (发货人) VALUES ('李四')");
        boxes->clear();
        QVERIFY(!runGuarded([&] { pickers->Fill(); }));
        QCOMPARE(boxes->texts(), QStringList{kStatementFailed});
        QVERIFY(waitForPickerFill(*pickers));
        QCOMPARE(SenderNameList, (QStringList{"李四", "张三"}));  // the first list was filled
        QCOMPARE(CustomerNameList, QStringList{"乙公司"});        // the failing one kept
        QCOMPARE(entriesOf(window->cbbCustomerNames), QStringList{"乙公司"});
    }

    void releasingALetterFiltersByPinyinInitial() {
        start({}, {{"张三", "", "", "", ""}, {"李四", "", "", "", ""}, {"赵五", "", "", "", ""}});
        QComboBox* picker = window->cbbCustomerNames;
        typeKey(picker, Qt::Key_Z);
        QCOMPARE(entriesOf(picker), (QStringList{"", "张三", "赵五"}));
        QCOMPARE(picker->currentIndex(), -1);
        // Each filter starts again from the full list; no match shows all names.
        typeKey(picker, Qt::Key_Q);
        QCOMPARE(entriesOf(picker), (QStringList{"", "李四", "张三", "赵五"}));
        typeKey(picker, Qt::Key_L, Qt::ShiftModifier);  // modifiers are not looked at
        QCOMPARE(entriesOf(picker), (QStringList{"", "李四"}));
        // The sender picker filters its own list.
        typeKey(window->cbbSendNames, Qt::Key_Z);
        QCOMPARE(entriesOf(window->cbbSendNames), QStringList{""});
        QCOMPARE(CustomerNameList, (QStringList{"李四", "张三", "赵五"}));  // never changed
    }

    void otherKeysLeaveTheEntriesAlone() {
        start({}, {{"张三", "", "", "", ""}, {"李四", "", "", "", ""}});
        QComboBox* picker = window->cbbCustomerNames;
        typeKey(picker, Qt::Key_Z);
        const QStringList filtered = entriesOf(picker);
        for (Qt::Key key : {Qt::Key_1, Qt::Key_F2, Qt::Key_Left, Qt::Key_Right, Qt::Key_Space,
                            Qt::Key_Shift, Qt::Key_BracketLeft}) {
            QVERIFY(runGuarded([&] { pickers->cbbCustomerNamesKeyUp(key); }));
            QCOMPARE(entriesOf(picker), filtered);
        }
    }

    void filterPickerByKeyTakesLettersOnly() {
        QComboBox picker;
        const QStringList names{"张三", "李四", "赵五"};
        AddressPickers::ReplaceEntries(&picker, names);
        QCOMPARE(picker.currentIndex(), -1);
        AddressPickers::FilterPickerByKey(&picker, 'Z', names);
        QCOMPARE(entriesOf(&picker), (QStringList{"", "张三", "赵五"}));
        QCOMPARE(picker.currentIndex(), -1);
        AddressPickers::FilterPickerByKey(&picker, 'Q', names);
        QCOMPARE(entriesOf(&picker), (QStringList{"", "张三", "李四", "赵五"}));
        for (int key : {64, 91, int('z'), int('1'), int(Qt::Key_Left), int(Qt::Key_F2)}) {
            AddressPickers::FilterPickerByKey(&picker, key, {"X"});
            QCOMPARE(entriesOf(&picker), (QStringList{"", "张三", "李四", "赵五"}));
        }
        AddressPickers::FilterPickerByKey(&picker, 'A', {});
        QCOMPARE(entriesOf(&picker), QStringList{""});
        AddressPickers::FilterPickerByKey(&picker, 'Z', {"", "张", "ABC公司"});
        QCOMPARE(entriesOf(&picker), (QStringList{"", "张"}));
        AddressPickers::FilterPickerByKey(&picker, 'A', {"", "ABC公司"});
        QCOMPARE(entriesOf(&picker), (QStringList{"", "ABC公司"}));  // a Latin name by its letter
        AddressPickers::FilterPickerByKey(&picker, 'B', {"", "ABC公司"});
        QCOMPARE(entriesOf(&picker), (QStringList{"", "", "ABC公司"}));  // none: all names
    }

    void typingOpensTheList() {
        start({}, {{"张三", "", "", "", ""}});
        QComboBox* picker = window->cbbCustomerNames;
        picker->setFocus();
        QTRY_VERIFY(picker->hasFocus());
        QTest::keyClick(window->widget.windowHandle(), Qt::Key_Z);
        QVERIFY(picker->view()->isVisible());
        QCOMPARE(entriesOf(picker), (QStringList{"", "张三"}));
        // With the list open, a further letter narrows by the letters typed so far.
        QTest::keyClick(window->widget.windowHandle(), Qt::Key_S);
        QCOMPARE(entriesOf(picker), (QStringList{"", "张三"}));
        picker->hidePopup();
        QCOMPARE(picker->focusPolicy(), Qt::ClickFocus);  // skipped by Tab
    }

    void resetPickersPutsAllPlaceholdersBack() {
        start({{"甲", "1", "2", "张三", "3"}}, {{"乙公司", "4", "5", "6", "7"}});
        choose(window->cbbSendNames, 0);
        choose(window->cbbCustomerNames, 0);
        QVERIFY(window->senderTexts() != kSenderPlaceholders);
        QVERIFY(runGuarded([&] { pickers->ResetPickers(); }));
        QCOMPARE(window->cbbSendNames->currentIndex(), -1);
        QCOMPARE(window->cbbCustomerNames->currentIndex(), -1);
        QCOMPARE(window->senderTexts(), kSenderPlaceholders);
        QCOMPARE(window->customerTexts(), kCustomerPlaceholders);
    }

    void aDeletedFieldIsSkipped() {
        start({{"甲", "1", "2", "张三", "3"}}, {});
        delete window->field("cbb3");
        choose(window->cbbSendNames, 0);
        QCOMPARE(window->texts({"cbb1", "cbb2", "cbb4", "cbb5"}),
                 (QStringList{"张三", "3", "1", "甲"}));
        QVERIFY(boxes->shown.isEmpty());
    }

    void selectingFromTheProgramRunsNoChange() {
        start({{"甲", "1", "2", "张三", "3"}}, {});
        window->cbbSendNames->setCurrentIndex(0);
        QCOMPARE(window->senderTexts(), kSenderPlaceholders);
    }
};

QTEST_MAIN(TestPickers)
#include "tst_pickers.moc"
