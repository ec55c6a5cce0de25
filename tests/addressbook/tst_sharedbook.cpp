// Tests of the shared address book on a real PostgreSQL server: connecting, the explicit
// initialisation, pinyin order, and two counters writing the same customer at once.
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>
#include <atomic>
#include <thread>

#include "AddressBookTestData.h"
#include "addressbook/AddressBook.h"
#include "addressbook/AddressBookFile.h"
#include "addressbook/AddressQuery.h"
#include "addressbook/SharedAddressBook.h"
#include "addressbook/TCusAddForm.h"
#include "batch/SenderDirectory.h"
#include "support/TestSupport.h"

using namespace testdata;

namespace {

const QString kConnectFailed = QStringLiteral("数据库连接设置错误！");

int customerCount(const QString& book) {
    return rowsOf(book, "SELECT COUNT(*) FROM 客户").first().first().toInt();
}

}  // namespace

class TestSharedBook : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { START_SHARED_SERVER(); }
    void cleanupTestCase() { sharedServer().stop(); }

    // --- Connecting ----------------------------------------------------------------------------

    // A server that cannot be reached: the known message, which server and database, never the
    // password; the local file is not used instead.
    void anUnreachableServerIsNamedButNotThePassword() {
        TestFolders folders;
        makeBook(folders.dataFolder());  // a good local book beside it must not be used
        const QString passwordFile = QDir(folders.workingFolder()).filePath("book.pass");
        {
            QFile file(passwordFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Geheim-42\n");
            file.close();
            QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        }
        QFile ini(folders.settingsFile());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[SharedAddressBook]\nServer=%1/nowhere\nDatabase=柜台通讯录\n"
                                 "User=counter\nPasswordFile=%2\n")
                      .arg(sharedServer().socketFolder(), passwordFile)
                      .toUtf8());
        ini.close();

        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        QVERIFY(!book.isConnected());
        QVERIFY(book.isShared());
        QCOMPARE(boxes.shown.size(), 1);
        const QString text = boxes.shown.first().text;
        QVERIFY2(text.startsWith(kConnectFailed + "\n"), qPrintable(text));
        QVERIFY2(
            text.contains("柜台通讯录") && text.contains("/nowhere") && text.contains("counter"),
            qPrintable(text));
        QVERIFY2(!text.contains("Geheim"), qPrintable(text));
    }

    // Connected to an empty database: the user is told to initialise; nothing is made.
    void anUninitialisedBookIsReportedAndLeftAlone() {
        TestFolders folders;
        QVERIFY2(sharedServer().createDatabase("bare1"), qPrintable(sharedServer().error()));
        nameSharedBookInSettings("bare1");
        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        QVERIFY(book.isConnected());
        QCOMPARE(boxes.texts(), QStringList{AddressBook::kNotInitialisedText});
        QVERIFY(!SharedAddressBook::isInitialised(book.connectionName()));
    }

    // "初始化共享通讯录" in the editor makes the tables of an empty database; the editor then
    // shows the empty book and a customer can be added at once.
    void theButtonMakesTheTablesOfAnEmptyBook() {
        TestFolders folders;
        QVERIFY2(sharedServer().createDatabase("bare2"), qPrintable(sharedServer().error()));
        nameSharedBookInSettings("bare2");
        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        boxes.clear();
        TCusAddForm form(book, nullptr, nullptr);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(boxes.texts(), QStringList{AddressBook::kStatementFailedText});  // no tables yet
        boxes.clear();
        QVERIFY(form.btnInitShared->isVisible());
        const auto click = [&](QWidget* widget) {
            QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {},
                              widget->mapTo(&form, widget->rect().center()));
        };
        click(form.btnInitShared);
        QCOMPARE(boxes.texts(),
                 QStringList{QStringLiteral("共享通讯录已建立。名称按拼音排序（zh-x-icu）。")});
        QVERIFY(SharedAddressBook::isInitialised(book.connectionName()));
        QVERIFY(book.ADOQuery2->isOpen());
        QCOMPARE(book.ADOQuery2->columnNames(),
                 (QStringList{"ID", "单位", "电话", "地址", "发货人", "始发地"}));

        boxes.clear();
        click(form.btnInitShared);
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("共享通讯录已经存在，没有改变。")});

        form.EdtKHName->setText(QStringLiteral("甲公司"));
        click(form.BtnKHAdd);
        QCOMPARE(rowsOf(kSharedPrefix + "bare2", "SELECT 单位 FROM 发货人"),
                 (QList<QVariantList>{{"甲公司"}}));
        QVERIFY(book.ADOQuery2->value("ID").toLongLong() >= 1);  // the key came back
    }

    // Initialising twice does no harm: the second time it is already there and the rows stay.
    void initialisingAgainKeepsTheBook() {
        TestFolders folders;
        const QString path = makeSharedBook();  // initialised once already
        execOn(path, "INSERT INTO 客户 (名称) VALUES ('甲公司')");
        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        QVERIFY(book.isConnected() && boxes.shown.isEmpty());
        QString why;
        QCOMPARE(SharedAddressBook::initialise(book.connectionName(), &why),
                 SharedAddressBook::Outcome::AlreadyThere);
        QCOMPARE(customerCount(path), 1);
    }

    // The name columns sort by pinyin in the same order as the local book; "=" stays exact.
    void namesSortAsInTheLocalBook() {
        const QStringList names{"赵五", "阿伟", "Zed", "重庆", "张三",   "章三", "李四", "abc",
                                "123",  "吕",   "绿",  "女",   "（甲）", "银行", "行者"};
        QList<Customer> customers;
        for (const QString& name : names) customers.append({name, "", "", "", ""});
        QStringList orders[2];
        for (int shared = 0; shared < 2; ++shared) {
            TestFolders folders;
            if (shared) {
                const QString path = makeSharedBook();
                withConnection(path, [&](QSqlDatabase& db) { insertCustomers(db, customers); });
            } else {
                makeBook(folders.dataFolder(), {}, customers);
            }
            RecordingMessageBoxes boxes;
            AddressBook book;
            book.ConnectAddressBook();
            QCOMPARE(book.isShared(), bool(shared));
            book.ShowStringList(AddressBook::kCustomerListSql, "名称", orders[shared],
                                *book.ADOQuery1);
            book.OpenData(AddressBook::kCustomerLookupSql, *book.ADOQuery1, {"章三"});
            QCOMPARE(book.ADOQuery1->recordCount(), 1);
            QCOMPARE(book.ADOQuery1->text("名称"), QStringLiteral("章三"));
        }
        QCOMPARE(orders[1], orders[0]);
        QVERIFY(orders[0].indexOf("阿伟") < orders[0].indexOf("李四"));
        QVERIFY(orders[0].indexOf("李四") < orders[0].indexOf("赵五"));
    }

    // --- Two counters --------------------------------------------------------------------------

    // A change committed by another counter moves the change stamp; reading does not.
    void anotherCountersChangeMovesTheStamp() {
        TestFolders folders;
        const QString path = makeSharedBook();
        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        const auto before = book.changeStamp();
        QVERIFY(before);
        rowsOf(path, "SELECT * FROM 客户");
        QCOMPARE(book.changeStamp(), before);
        execOn(path, "INSERT INTO 发货人 (发货人) VALUES ('张三')");
        const auto after = book.changeStamp();
        QVERIFY(after && after != before);
        execOn(path, "DELETE FROM 客户");  // no row, still a write statement
        QVERIFY(book.changeStamp() != after);
    }

    // A print without the main window (the batch window, the command line) takes its sender
    // from the shared book, not from a local file beside the program.
    void aPrintWithoutTheWindowReadsItsSendersFromTheSharedBook() {
        TestFolders folders;
        makeBook(folders.dataFolder(), {{"本地公司", "1", "本地路", "本地人", "本地"}});
        const QString path = makeSharedBook();
        execOn(path,
               "INSERT INTO 发货人 (单位, 电话, 地址, 发货人, 始发地) "
               "VALUES ('共享公司', '2', '共享路', '共享人', '北京')");
        const SenderDirectory senders;
        QVERIFY2(senders.isOpen(), qPrintable(senders.failure()));
        QCOMPARE(senders.names(), QStringList{"共享人"});
        const auto texts = senders.textsOf("共享人");
        QVERIFY(texts);
        QCOMPARE(texts->value("cbb1"), QStringLiteral("共享人"));
        QVERIFY(!senders.textsOf("本地人"));
    }

    // The same customer added by two counters at the very same time: the first to commit wins,
    // the other is refused as a taken name (blanks around the name make no difference), and
    // the book holds one row.
    void twoCountersAddingTheSameCustomerAtOnceStoreOneRow() {
        TestFolders folders;
        const QString path = makeSharedBook();
        RecordingMessageBoxes boxes;
        AddressBook first;
        first.ConnectAddressBook();
        QSqlDatabase firstDb = QSqlDatabase::database(first.connectionName(), false);
        QVERIFY(firstDb.transaction());
        first.OpenData(AddressBook::kCustomerListSql, *first.ADOQuery2);
        first.ADOQuery2->append();
        first.ADOQuery2->setText("名称", "甲公司");
        first.ADOQuery2->setText("电话", "111");
        first.ADOQuery2->post();  // not committed yet

        // The second counter, on its own connection in its own thread, waits for the first.
        std::atomic<int> outcome{-1};
        std::thread second([&] {
            const QString name = QStringLiteral("second-counter");
            QString why;
            if (!openBook(name, path, QString(), &why)) return;
            {
                AddressQuery query(QStringLiteral("ADOQuery2"));
                query.setConnectionName(name);
                query.setSql(AddressBook::kCustomerListSql);
                query.open();
                query.append();
                query.setText("名称", "甲公司 ");
                query.setText("电话", "222");
                try {
                    query.post();
                    outcome = 0;
                } catch (const RowConflict& conflict) {
                    outcome = conflict.kind() == RowConflict::Kind::NameTaken ? 1 : 2;
                } catch (const AppError&) {
                    outcome = 3;
                }
            }
            AddressBookFile::remove(name);
        });
        QTest::qWait(300);  // the second insert is now waiting on the first one's row
        QCOMPARE(outcome.load(), -1);
        QVERIFY(firstDb.commit());
        second.join();
        QCOMPARE(outcome.load(), 1);
        QCOMPARE(rowsOf(path, "SELECT 名称, 电话 FROM 客户"),
                 (QList<QVariantList>{{"甲公司", "111"}}));
    }

    // Renaming a customer to a name another counter took meanwhile is refused as well.
    void renamingToANameTakenMeanwhileIsRefused() {
        TestFolders folders;
        const QString path = makeSharedBook();
        execOn(path, "INSERT INTO 客户 (名称) VALUES ('甲公司')");
        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        book.OpenData(AddressBook::kCustomerListSql, *book.ADOQuery2);
        execOn(path, "INSERT INTO 客户 (名称) VALUES ('乙公司')");
        book.ADOQuery2->edit();
        book.ADOQuery2->setText("名称", "乙公司");
        try {
            book.ADOQuery2->post();
            QFAIL("a taken name was stored");
        } catch (const RowConflict& conflict) {
            QCOMPARE(conflict.kind(), RowConflict::Kind::NameTaken);
        }
        QCOMPARE(rowsOf(path, "SELECT 名称 FROM 客户 ORDER BY \"ID\""),
                 (QList<QVariantList>{{"甲公司"}, {"乙公司"}}));
    }
};

QTEST_MAIN(TestSharedBook)
#include "tst_sharedbook.moc"
