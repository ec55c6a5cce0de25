// Tests of the address-book file, the connection, OpenData, ShowStringList, the row set.
#include <QtTest>

#include "AddressBookTestData.h"
#include "addressbook/AddressBook.h"
#include "addressbook/AddressBookFile.h"
#include "addressbook/AddressQuery.h"
#include "platform/AppError.h"
#include "platform/HandlerGuard.h"
#include "support/TestSupport.h"

using namespace testdata;

namespace {

const QString kConnectFailed = QStringLiteral("数据库连接设置错误！");
const QString kStatementFailed =
    QStringLiteral("无法连接网络，请检查服务器是否启动或者网络连接是否正常！！");

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList column(AddressQuery& query, const QString& name) {
    QStringList result;
    for (query.first(); !query.eof(); query.next()) result << query.text(name);
    return result;
}

}  // namespace

class TestAddressBookDb : public QObject {
    Q_OBJECT
  private slots:
    // Run a second time with QUORVEL_TEST_BOOK=postgres: the same tests on a shared book.
    void initTestCase() { START_SHARED_SERVER_IF_NEEDED(); }
    void cleanupTestCase() { sharedServer().stop(); }

    // --- The connection string -----------------------------------------------------------

    void connectionStringHasItsFixedPieces() {
        const QString sep = QDir::separator();
        const QString withSlash = AddressBook::connectionString(QStringLiteral("/opt/q/"));
        const QString without = AddressBook::connectionString(QStringLiteral("/opt/q"));
        QCOMPARE(withSlash, without);
        const QString source = QDir::toNativeSeparators(QStringLiteral("/opt/q/")) +
                               QStringLiteral("data") + sep + QStringLiteral("QuorvelDB.qdb");
        QCOMPARE(withSlash, QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                                source +
                                QStringLiteral(";Persist Security Info=False;Jet OLEDB:Database "
                                               "Password=KDMRTQXW"));
        const auto parts = AddressBookFile::parseConnectionString(withSlash);
        QCOMPARE(parts.dataSource, source);
        QCOMPARE(parts.password, QStringLiteral("KDMRTQXW"));
    }

    void aFolderWithSemicolonOrQuoteSurvivesTheConnectionString() {
        const QString folder = QStringLiteral("/tmp/a;b\"c d/");
        const auto parts =
            AddressBookFile::parseConnectionString(AddressBook::connectionString(folder));
        QCOMPARE(parts.dataSource, QStringLiteral("/tmp/a;b\"c d/data/QuorvelDB.qdb"));
        QCOMPARE(parts.password, QStringLiteral("KDMRTQXW"));
    }

    // --- Connecting --------------------------------------------------------------------------

    void connectsToTheBookBesideTheExecutable() {
        TestFolders folders;
        makeBook(folders.dataFolder());
        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        QVERIFY(book.isConnected());
        QVERIFY(boxes.shown.isEmpty());
    }

    void aMissingFileFailsAndIsNotCreated() {
        TestFolders folders;
        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        QVERIFY(!book.isConnected());
        QCOMPARE(boxes.texts(), QStringList{kConnectFailed});
        QCOMPARE(boxes.shown.first().icon, MessageBoxes::Icon::Error);
        QCOMPARE(boxes.shown.first().buttons, MessageBoxes::Buttons::Ok);
        QVERIFY(!QFile::exists(bookPath(folders.dataFolder())));
        // Every later statement fails inside OpenData.
        QVERIFY(!runGuarded([&] { book.OpenData(AddressBook::kSenderListSql, *book.ADOQuery1); }));
        QCOMPARE(boxes.texts(), (QStringList{kConnectFailed, kStatementFailed}));
        QVERIFY(!QFile::exists(bookPath(folders.dataFolder())));
    }

    void aFileMadeWithAnotherPasswordFails() {
        LOCAL_FILE_ONLY();
        TestFolders folders;
        const QString path = makeBook(folders.dataFolder(), {}, {}, QStringLiteral("OTHERPWD"));
        const QByteArray before = fileBytes(path);
        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        QVERIFY(!book.isConnected());
        QCOMPARE(boxes.texts(), QStringList{kConnectFailed});
        QCOMPARE(fileBytes(path), before);
    }

    void aFileThatIsNoDatabaseFails() {
        TestFolders folders;
        const QString path = bookPath(folders.dataFolder());
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("This is a text file, not an address book.\n").repeated(100));
        }
        const QByteArray before = fileBytes(path);
        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        QVERIFY(!book.isConnected());
        QCOMPARE(boxes.texts(), QStringList{kConnectFailed});
        QCOMPARE(fileBytes(path), before);
    }

    void anEmptyFileFailsAndStaysEmpty() {
        TestFolders folders;
        const QString path = bookPath(folders.dataFolder());
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        QVERIFY(!book.isConnected());
        QCOMPARE(boxes.texts(), QStringList{kConnectFailed});
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void aPlainSqliteFileWithTheTablesButNoPasswordFails() {
        TestFolders folders;
        const QString path = bookPath(folders.dataFolder());
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "plain");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(
                q.exec("CREATE TABLE 发货人 (ID INTEGER PRIMARY KEY, 单位 TEXT, 电话 TEXT, "
                       "地址 TEXT, 发货人 TEXT, 始发地 TEXT)"));
            QVERIFY(
                q.exec("CREATE TABLE 客户 (ID INTEGER PRIMARY KEY, 名称 TEXT, 电话 TEXT, "
                       "地址 TEXT, 收货人 TEXT, 目的地 TEXT)"));
            db.close();
        }
        QSqlDatabase::removeDatabase("plain");
        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        QVERIFY(!book.isConnected());
        QCOMPARE(boxes.texts(), QStringList{kConnectFailed});
    }

    void theFileIsNotEncrypted() {
        LOCAL_FILE_ONLY();
        // The protection only keeps the wrong program out: any SQLite reader sees the rows.
        TestFolders folders;
        const QString path =
            makeBook(folders.dataFolder(), {{"甲公司", "123", "X路1号", "张三", "北京"}});
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "reader");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        {
            QSqlQuery q(db);
            QVERIFY(q.exec("SELECT 单位 FROM 发货人"));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("甲公司"));
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("reader");
    }

    void aChangedCollatorRebuildsTheIndexes() {
        LOCAL_FILE_ONLY();
        TestFolders folders;
        const QString path = makeBook(folders.dataFolder(), {{"", "", "", "张三", ""}});
        execOn(path, "UPDATE QuorvelGuard SET collation = 'an older collator'");
        AddressBook book;
        book.ConnectAddressBook();
        QVERIFY(book.isConnected());
        const auto rows = rowsOf(path, "SELECT collation FROM QuorvelGuard");
        QVERIFY(rows.first().first().toString() != QStringLiteral("an older collator"));
        QVERIFY(rows.first().first().toString().startsWith(QStringLiteral("Qt ")));
    }

    // --- The tool ------------------------------------------------------------------------------

    void theToolMakesTheEmptyBookAndNeverOverwrites() {
        const QString tools = qEnvironmentVariable("QUORVEL_TOOLS_DIR");
        if (tools.isEmpty()) QSKIP("QUORVEL_TOOLS_DIR is not set (run through ctest)");
        const QString tool = QDir(tools).filePath(QStringLiteral("make-address-book"));
        QVERIFY(QFileInfo(tool).isExecutable());
        TestFolders folders;
        const QString path = bookPath(folders.dataFolder());

        QProcess make;
        make.start(tool, {path});
        QVERIFY(make.waitForFinished(30000));
        QCOMPARE(make.exitCode(), 0);
        QVERIFY(QFile::exists(path));

        AddressBook book;
        RecordingMessageBoxes boxes;
        book.ConnectAddressBook();
        QVERIFY(book.isConnected());
        book.OpenData(AddressBook::kSenderListSql, *book.ADOQuery1);
        QCOMPARE(book.ADOQuery1->columnNames(),
                 (QStringList{"ID", "单位", "电话", "地址", "发货人", "始发地"}));
        QCOMPARE(book.ADOQuery1->recordCount(), 0);
        book.OpenData(AddressBook::kCustomerListSql, *book.ADOQuery1);
        QCOMPARE(book.ADOQuery1->columnNames(),
                 (QStringList{"ID", "名称", "电话", "地址", "收货人", "目的地"}));
        QCOMPARE(book.ADOQuery1->recordCount(), 0);
        book.ADOQuery1->close();

        // Put a row in, then run the tool again: it refuses and the file keeps its row.
        execOn(path, "INSERT INTO 客户 (名称) VALUES ('甲公司')");
        const QByteArray before = fileBytes(path);
        QProcess again;
        again.start(tool, {path});
        QVERIFY(again.waitForFinished(30000));
        QCOMPARE(again.exitCode(), 2);
        QCOMPARE(fileBytes(path), before);

        // Whatever lies there is left alone, even a file that is no address book.
        const QString other = QDir(folders.dataFolder()).filePath("notes.txt");
        {
            QFile f(other);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep me");
        }
        QProcess third;
        third.start(tool, {other});
        QVERIFY(third.waitForFinished(30000));
        QVERIFY(third.exitCode() != 0);
        QCOMPARE(fileBytes(other), QByteArray("keep me"));
    }

    // --- OpenData and ShowStringList --------------------------------------------------------

    void openDataPositionsOnTheFirstRow() {
        TestFolders folders;
        makeBook(
            folders.dataFolder(),
            {{"丙", "", "", "王二", ""}, {"甲", "", "", "张三", ""}, {"乙", "", "", "李四", ""}});
        AddressBook book;
        book.ConnectAddressBook();
        AddressQuery& q = *book.ADOQuery1;
        book.OpenData(AddressBook::kSenderListSql, q);
        QVERIFY(q.isOpen());
        QCOMPARE(q.recordCount(), 3);
        QCOMPARE(q.currentRow(), 0);
        QCOMPARE(q.text("发货人"), QStringLiteral("李四"));
        QCOMPARE(column(q, "发货人"), (QStringList{"李四", "王二", "张三"}));
        QCOMPARE(column(q, "单位"), (QStringList{"乙", "丙", "甲"}));
        // A second statement on the open query closes it first.
        book.OpenData(AddressBook::kCustomerListSql, q);
        QVERIFY(q.isOpen());
        QCOMPARE(q.recordCount(), 0);
        QCOMPARE(q.currentRow(), -1);
        QCOMPARE(q.text("名称"), QString());
        QVERIFY(!q.value("名称").isValid());
    }

    void aFailingStatementShowsItsMessageAndAbortsSilently() {
        TestFolders folders;
        makeBook(folders.dataFolder(), {{"甲", "", "", "张三", ""}});
        RecordingMessageBoxes boxes;
        AddressBook book;
        book.ConnectAddressBook();
        AddressQuery& q = *book.ADOQuery1;
        book.OpenData(AddressBook::kSenderListSql, q);
        bool reachedEnd = false;
        const bool completed = runGuarded([&] {
            book.OpenData(QStringLiteral("Select * from 没有这个表"), q);
            reachedEnd = true;
        });
        QVERIFY(!completed);
        QVERIFY(!reachedEnd);
        QCOMPARE(boxes.texts(), QStringList{kStatementFailed});
        QCOMPARE(boxes.shown.first().icon, MessageBoxes::Icon::Information);
        QCOMPARE(boxes.shown.first().buttons, MessageBoxes::Buttons::Ok);
        QVERIFY(!q.isOpen());
        // Malformed statements and missing columns fail the same way.
        boxes.clear();
        QVERIFY(!runGuarded([&] { book.OpenData(QStringLiteral("Select * from"), q); }));
        QVERIFY(!runGuarded(
            [&] { book.OpenData(QStringLiteral("Select * from 发货人 order by 没有"), q); }));
        QCOMPARE(boxes.texts(), (QStringList{kStatementFailed, kStatementFailed}));
    }

    void showStringListCopiesOneColumnInRowOrder() {
        TestFolders folders;
        makeBook(folders.dataFolder(), {},
                 {{"C", "", "", "", ""}, {"A", "", "", "", ""}, {"B", "", "", "", ""}});
        AddressBook book;
        book.ConnectAddressBook();
        QStringList list{"old"};
        book.ShowStringList(AddressBook::kCustomerListSql, QStringLiteral("名称"), list,
                            *book.ADOQuery1);
        QCOMPARE(list, (QStringList{"A", "B", "C"}));
        QVERIFY(!book.ADOQuery1->isOpen());
    }

    void showStringListOnAnEmptyTableEmptiesTheList() {
        TestFolders folders;
        makeBook(folders.dataFolder());
        AddressBook book;
        book.ConnectAddressBook();
        QStringList list{"left", "over"};
        book.ShowStringList(AddressBook::kSenderListSql, QStringLiteral("发货人"), list,
                            *book.ADOQuery1);
        QVERIFY(list.isEmpty());
        QVERIFY(!book.ADOQuery1->isOpen());
    }

    void aMissingValueGivesAnEmptyLine() {
        TestFolders folders;
        const QString path = makeBook(folders.dataFolder());
        execOn(path, "INSERT INTO 发货人 (发货人) VALUES (NULL), ('阿伟')");
        AddressBook book;
        book.ConnectAddressBook();
        QStringList list;
        book.ShowStringList(AddressBook::kSenderListSql, QStringLiteral("发货人"), list,
                            *book.ADOQuery1);
        // A missing name sorts first in the local file and last on the shared book's server.
        if (onSharedBook())
            QCOMPARE(list, (QStringList{"阿伟", QString()}));
        else
            QCOMPARE(list, (QStringList{QString(), "阿伟"}));
    }

    void aFailingShowStringListKeepsTheList() {
        TestFolders folders;
        RecordingMessageBoxes boxes;
        AddressBook book;  // never connected
        QStringList list{"kept"};
        QVERIFY(!runGuarded([&] {
            book.ShowStringList(AddressBook::kSenderListSql, QStringLiteral("发货人"), list,
                                *book.ADOQuery1);
        }));
        QCOMPARE(list, QStringList{"kept"});
        QCOMPARE(boxes.texts(), QStringList{kStatementFailed});
    }

    // --- Order and look-ups ------------------------------------------------------------------

    void namesComeOutInPinyinOrder() {
        TestFolders folders;
        const QStringList names{"张三", "阿伟",   "赵五", "李四", "王二", "陈六",
                                "白七", "欧阳八", "孙九", "钱十", "马一", "周二"};
        QList<Sender> senders;
        QList<Customer> customers;
        for (const QString& n : names) {
            senders << Sender{"", "", "", n, ""};
            customers << Customer{n + "公司", "", "", "", ""};
        }
        makeBook(folders.dataFolder(), senders, customers);
        AddressBook book;
        book.ConnectAddressBook();
        QStringList list;
        book.ShowStringList(AddressBook::kSenderListSql, QStringLiteral("发货人"), list,
                            *book.ADOQuery1);
        const QStringList expected{"阿伟", "白七", "陈六", "李四", "马一", "欧阳八",
                                   "钱十", "孙九", "王二", "张三", "赵五", "周二"};
        QCOMPARE(list, expected);
        book.ShowStringList(AddressBook::kCustomerListSql, QStringLiteral("名称"), list,
                            *book.ADOQuery1);
        QStringList expectedCustomers;
        for (const QString& n : expected) expectedCustomers << n + "公司";
        QCOMPARE(list, expectedCustomers);
    }

    void equalPinyinStillKeepsDistinctNamesApart() {
        // 张 and 章 are both "zhang": the order is total and "=" stays exact.
        TestFolders folders;
        makeBook(folders.dataFolder(), {{"1", "", "", "章三", ""}, {"2", "", "", "张三", ""}});
        AddressBook book;
        book.ConnectAddressBook();
        for (const QString& name : {QStringLiteral("张三"), QStringLiteral("章三")}) {
            book.OpenData(AddressBook::kSenderLookupSql, *book.ADOQuery1, {name});
            QCOMPARE(book.ADOQuery1->recordCount(), 1);
            QCOMPARE(book.ADOQuery1->text("发货人"), name);
        }
    }

    void lookupsFindNamesWithQuotesAndOtherSqlCharacters() {
        TestFolders folders;
        const QStringList tricky{
            "甲\"乙",            // a double quote: the old statement ended its literal there
            "\"",                // only a quote
            "单位",              // a column name: a double-quoted "literal" would read the column
            "发货人",            // the very column looked up
            "x\" or \"1\"=\"1",  // an attempt to widen the statement
            "O'Brien",           // a single quote
            "a]b[c",             // brackets
            "50%_off",           // LIKE wildcards
            "名称; DROP TABLE 客户; --",
        };
        QList<Sender> senders;
        QList<Customer> customers;
        for (int i = 0; i < tricky.size(); ++i) {
            senders << Sender{QStringLiteral("公司%1").arg(i), "", "", tricky[i], ""};
            customers << Customer{tricky[i], QStringLiteral("电话%1").arg(i), "", "", ""};
        }
        senders << Sender{"other", "", "", "1", ""};
        makeBook(folders.dataFolder(), senders, customers);
        AddressBook book;
        book.ConnectAddressBook();
        for (int i = 0; i < tricky.size(); ++i) {
            book.OpenData(AddressBook::kSenderLookupSql, *book.ADOQuery1, {tricky[i]});
            QCOMPARE(book.ADOQuery1->recordCount(), 1);
            QCOMPARE(book.ADOQuery1->text("单位"), QStringLiteral("公司%1").arg(i));
            book.OpenData(AddressBook::kCustomerLookupSql, *book.ADOQuery1, {tricky[i]});
            QCOMPARE(book.ADOQuery1->recordCount(), 1);
            QCOMPARE(book.ADOQuery1->text("电话"), QStringLiteral("电话%1").arg(i));
        }
        QStringList list;
        book.ShowStringList(AddressBook::kCustomerListSql, QStringLiteral("名称"), list,
                            *book.ADOQuery1);
        QCOMPARE(list.size(), tricky.size());  // nothing was dropped
    }

    void theStatementsAreTheFixedTexts() {
        QCOMPARE(AddressBook::kSenderListSql,
                 QStringLiteral("Select * from 发货人 order by 发货人"));
        QCOMPARE(AddressBook::kCustomerListSql, QStringLiteral("Select * from 客户 order by 名称"));
        QCOMPARE(AddressBook::kSenderLookupSql,
                 QStringLiteral("Select * from  发货人 where \"发货人\"=?"));
        QCOMPARE(AddressBook::kCustomerLookupSql,
                 QStringLiteral("Select * from  客户 where \"名称\"=?"));
    }

    // --- The row set -------------------------------------------------------------------------

    void appendEditPostAndDeleteWriteTheTable() {
        TestFolders folders;
        const QString path = makeBook(folders.dataFolder(), {},
                                      {{"甲公司", "1", "", "", ""}, {"乙公司", "2", "", "", ""}});
        AddressBook book;
        book.ConnectAddressBook();
        AddressQuery& q = *book.ADOQuery2;
        book.OpenData(AddressBook::kCustomerListSql, q);
        QSignalSpy changes(&q, &AddressQuery::dataChange);

        q.append();
        QCOMPARE(q.state(), AddressQuery::State::Insert);
        QCOMPARE(q.recordCount(), 3);
        QCOMPARE(q.currentRow(), 2);
        q.setText("名称", "丙公司");
        q.setText("电话", "3");
        q.post();
        QCOMPARE(q.state(), AddressQuery::State::Browse);
        QVERIFY(q.value("ID").toLongLong() >= 1);
        QCOMPARE(q.text("地址"), QString());  // not set: the empty text
        QCOMPARE(rowsOf(path, "SELECT 名称, 电话, 地址 FROM 客户 WHERE 名称 = '丙公司'"),
                 (QList<QVariantList>{{"丙公司", "3", ""}}));
        QVERIFY(changes.count() >= 4);  // append, two columns, post

        changes.clear();
        QVERIFY(q.locate("名称", "甲公司"));
        QCOMPARE(q.currentRow(), 0);
        QCOMPARE(changes.count(), 1);
        q.edit();
        q.setText("电话", "111");
        q.post();
        QCOMPARE(rowsOf(path, "SELECT 电话 FROM 客户 WHERE 名称 = '甲公司'"),
                 (QList<QVariantList>{{"111"}}));

        // lookup does not move; locate of a missing text does not move either.
        QCOMPARE(q.lookup("名称", "乙公司", "电话").toString(), QStringLiteral("2"));
        QVERIFY(!q.lookup("名称", "没有", "ID").isValid());
        QVERIFY(!q.locate("名称", "没有"));
        QCOMPARE(q.currentRow(), 0);

        // Deleting makes the next row current, or the previous one at the end.
        changes.clear();
        q.remove();
        QCOMPARE(q.recordCount(), 2);
        QCOMPARE(q.text("名称"), QStringLiteral("乙公司"));
        QVERIFY(changes.count() >= 1);
        q.setCurrentRow(1);
        q.remove();
        QCOMPARE(q.text("名称"), QStringLiteral("乙公司"));
        q.remove();
        QCOMPARE(q.recordCount(), 0);
        QCOMPARE(q.currentRow(), -1);
        QVERIFY(rowsOf(path, "SELECT * FROM 客户").isEmpty());
    }

    void editOnAnEmptyRowSetAppends() {
        TestFolders folders;
        const QString path = makeBook(folders.dataFolder());
        AddressBook book;
        book.ConnectAddressBook();
        AddressQuery& q = *book.ADOQuery2;
        book.OpenData(AddressBook::kSenderListSql, q);
        q.edit();
        QCOMPARE(q.state(), AddressQuery::State::Insert);
        q.setText("发货人", "张三");
        q.post();
        QCOMPARE(rowsOf(path, "SELECT 发货人 FROM 发货人"), (QList<QVariantList>{{"张三"}}));
    }

    void closingDropsAPendingRow() {
        TestFolders folders;
        const QString path = makeBook(folders.dataFolder());
        AddressBook book;
        book.ConnectAddressBook();
        AddressQuery& q = *book.ADOQuery2;
        book.OpenData(AddressBook::kSenderListSql, q);
        q.append();
        q.setText("发货人", "张三");
        q.close();
        QVERIFY(rowsOf(path, "SELECT * FROM 发货人").isEmpty());
    }

    void openingNotifies() {
        TestFolders folders;
        makeBook(folders.dataFolder());
        AddressBook book;
        book.ConnectAddressBook();
        QSignalSpy changes(book.ADOQuery2, &AddressQuery::dataChange);
        book.OpenData(AddressBook::kSenderListSql, *book.ADOQuery2);
        QCOMPARE(changes.count(), 1);
    }
};

QTEST_MAIN(TestAddressBookDb)
#include "tst_addressbookdb.moc"
