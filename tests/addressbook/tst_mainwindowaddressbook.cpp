// Tests of the address book on the real main window: connecting and filling at creation (and the
// silent abort when the book is missing), the pickers, and Button2 opening the editor.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleHints>
#include <QtTest>

#include "AddressBookTestData.h"
#include "addressbook/AddressBook.h"
#include "addressbook/AddressNameLists.h"
#include "addressbook/AddressPickers.h"
#include "addressbook/TCusAddForm.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "app/WaybillFieldSpecs.h"
#include "support/MainWindowFixture.h"

using namespace testdata;

namespace {

const QString kConnectFailed = QStringLiteral("数据库连接设置错误！");
const QString kStatementFailed =
    QStringLiteral("无法连接网络，请检查服务器是否启动或者网络连接是否正常！！");

QStringList entriesOf(const QComboBox* picker) {
    QStringList entries;
    for (int i = 0; i < picker->count(); ++i) entries << picker->itemText(i);
    return entries;
}

QStringList fieldTexts(TEXPDPrintForm& form) {
    QStringList result;
    for (const WaybillFieldSpec& spec : waybillFieldSpecs())
        result << form.field(spec.objectName())->text();
    return result;
}

// All ten fields unfilled: empty, with their captions showing as placeholders.
QStringList captions() {
    return QStringList(10, QString());
}

// Puts rows into the fixture's (empty) book.
void fillBook(MainWindowFixture& fx, const QList<Sender>& senders,
              const QList<Customer>& customers) {
    withConnection(bookPath(fx.folders.dataFolder()), [&](QSqlDatabase& db) {
        insertSenders(db, senders);
        insertCustomers(db, customers);
    });
}

}  // namespace

class TestMainWindowAddressBook : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QGuiApplication::styleHints()->setMouseDoubleClickInterval(50); }
    void cleanup() {
        SenderNameList.clear();
        CustomerNameList.clear();
    }

    void creationConnectsAndFillsThePickers() {
        MainWindowFixture fx;
        fillBook(fx, {{"甲", "1", "A", "张三", "北京"}, {"乙", "2", "B", "阿伟", "上海"}},
                 {{"乙公司", "", "", "", ""}, {"甲公司", "", "", "", ""}});
        TEXPDPrintForm& form = fx.start();
        QVERIFY(fx.boxes.shown.isEmpty());
        QVERIFY(form.addressBook->isConnected());
        QCOMPARE(SenderNameList, (QStringList{"阿伟", "张三"}));
        QCOMPARE(CustomerNameList, (QStringList{"甲公司", "乙公司"}));
        QCOMPARE(entriesOf(form.cbbSendNames), SenderNameList);
        QCOMPARE(entriesOf(form.cbbCustomerNames), CustomerNameList);
        QCOMPARE(form.cbbSendNames->currentIndex(), -1);
        QCOMPARE(form.cbbCustomerNames->currentIndex(), -1);
        QVERIFY(!form.cbbSendNames->isEditable());  // no free text entry
        QCOMPARE(form.cbbSendNames->focusPolicy(), Qt::ClickFocus);
        QCOMPARE(fieldTexts(form), captions());
        QCOMPARE(form.cbbPrinterName->count(), 2);  // creation went on to the printers
    }

    void aMissingBookShowsBothMessagesAndTheWindowStillOpens() {
        MainWindowFixture fx;
        QVERIFY(QFile::remove(bookPath(fx.folders.dataFolder())));
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(fx.boxes.texts(), (QStringList{kConnectFailed, kStatementFailed}));
        QCOMPARE(fx.boxes.shown.at(0).icon, MessageBoxes::Icon::Error);
        QCOMPARE(fx.boxes.shown.at(1).icon, MessageBoxes::Icon::Information);
        QVERIFY(form.isVisible());
        QCOMPARE(form.cbbSendNames->count(), 0);
        QCOMPARE(form.cbbCustomerNames->count(), 0);
        // The silent abort skipped the rest of creation: no printer list.
        QCOMPARE(form.cbbPrinterName->count(), 0);
        QVERIFY(!QFile::exists(bookPath(fx.folders.dataFolder())));
    }

    void aBookWithAnotherPasswordIsRefusedTheSameWay() {
        MainWindowFixture fx;
        QVERIFY(QFile::remove(bookPath(fx.folders.dataFolder())));
        makeBook(fx.folders.dataFolder(), {{"甲", "1", "A", "张三", "北京"}}, {},
                 QStringLiteral("ANOTHER1"));
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(fx.boxes.texts(), (QStringList{kConnectFailed, kStatementFailed}));
        QCOMPARE(form.cbbSendNames->count(), 0);
    }

    void choosingNamesFillsTheFieldsOnTheBand() {
        MainWindowFixture fx;
        fillBook(fx, {{"甲公司", "123", "X路1号", "张三", "北京"}},
                 {{"乙公司", "456", "Z路2号", "李四", ""}});
        TEXPDPrintForm& form = fx.start();
        chooseItem(form.cbbSendNames, QStringLiteral("张三"));
        chooseItem(form.cbbCustomerNames, QStringLiteral("乙公司"));
        QCOMPARE(fieldTexts(form), (QStringList{"张三", "北京", "X路1号", "123", "甲公司", "李四",
                                                "", "Z路2号", "456", "乙公司"}));
        // The courier switch's reset puts every caption back.
        form.ResetAddressPickers();
        QCOMPARE(fieldTexts(form), captions());
        QCOMPARE(form.cbbSendNames->currentIndex(), -1);
    }

    void releasingALetterOnAPickerFilters() {
        MainWindowFixture fx;
        fillBook(fx, {},
                 {{"张三", "", "", "", ""}, {"李四", "", "", "", ""}, {"赵五", "", "", "", ""}});
        TEXPDPrintForm& form = fx.start();
        form.cbbCustomerNames->setFocus();
        QTRY_VERIFY(form.cbbCustomerNames->hasFocus());
        QTest::keyClick(form.windowHandle(), Qt::Key_Z);
        QCOMPARE(entriesOf(form.cbbCustomerNames), (QStringList{"", "张三", "赵五"}));
        form.cbbCustomerNames->hidePopup();
    }

    void button2OpensTheEditorAndClosingRefillsThePickers() {
        MainWindowFixture fx;
        fillBook(fx, {{"甲", "1", "A", "张三", "北京"}}, {});
        TEXPDPrintForm& form = fx.start();
        chooseItem(form.cbbSendNames, QStringLiteral("张三"));
        QVERIFY(fieldTexts(form) != captions());
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            TCusAddForm* editor = CusAddForm;
            QVERIFY(editor);
            QCOMPARE(editor->parentWidget(), &form);
            QCOMPARE(editor->EdtKHName->text(), QStringLiteral("甲"));
            editor->EdtKHName->setText(QStringLiteral("乙"));
            editor->edtSHR->setText(QStringLiteral("阿伟"));
            QTest::mouseClick(editor->BtnKHAdd, Qt::LeftButton);
            seen = true;
            QTest::keyClick(editor->windowHandle(), Qt::Key_Escape);
        });
        QTest::mouseClick(form.Button2, Qt::LeftButton);
        QVERIFY(seen);
        QVERIFY(!CusAddForm);
        QVERIFY(!form.findChild<TCusAddForm*>());
        QVERIFY(waitForPickerFill(*form.addressPickers));
        QCOMPARE(entriesOf(form.cbbSendNames), (QStringList{"阿伟", "张三"}));
        QCOMPARE(form.cbbSendNames->currentIndex(), -1);
        QCOMPARE(fieldTexts(form), captions());
        QVERIFY(fx.boxes.shown.isEmpty());
    }
};

QTEST_MAIN(TestMainWindowAddressBook)
#include "tst_mainwindowaddressbook.moc"
