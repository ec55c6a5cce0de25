// Tests of the address-book file, the connection, OpenData, ShowStringList, the row set.
#include <QtTest>

#include "AddressBookTestData.h"
#include "addressbook/AddressBook.h"
#include "addressbook/AddressBookFile.h"
#include "addressbook/AddressQuery.h"
#include "addressbook/AddressRowPages.h"
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

// A value as text, a missing value told apart from an empty text.
QString shown(const QVariant& v) {
    return v.isNull() ? QStringLiteral("<null>") : v.toString();
}

QList<QStringList> shown(const QList<QVariantList>& rows) {
    QList<QStringList> result;
    for (const QVariantList& row : rows) {
        QStringList texts;
        for (const QVariant& v : row) texts << shown(v);
        result << texts;
    }
    return result;
}

// The rows of an open row set, read from the last to the first, so that every block of a paged
// row set is read again after it has been dropped.
QList<QStringList> rowsIn(const AddressQuery& query) {
    QList<QStringList> rows(query.recordCount());
    for (int r = query.recordCount() - 1; r >= 0; --r)
        for (int c = 0; c < query.columnNames().size(); ++c) rows[r] << shown(query.valueAt(r, c));
    return rows;
}

// What findContaining must give: the first row after `after`, wrapping, whose text in one of
// `columns` contains `text`.
int firstContaining(const QList<QStringList>& rows, const QString& text, const QList<int>& columns,
                    int after) {
    const int n = int(rows.size());
    for (int step = 1; step <= n; ++step) {
        const int row = (after + step + n) % n;
        for (int c : columns)
            if (rows.at(row).at(c) != QStringLiteral("<null>") &&
                rows.at(row).at(c).contains(text, Qt::CaseInsensitive))
                return row;
    }
    return -1;
}

constexpr int kBlock = AddressRowPages::kBlockRows;

// A book of these customers, with the editor's row set open on the customer list.
struct CustomerRowSet {
    explicit CustomerRowSet(const QList<Customer>& customers)
        : path(makeBook(folders.dataFolder(), {}, customers)) {
        book.ConnectAddressBook();
        book.OpenData(AddressBook::kCustomerListSql, q);
    }
    TestFolders folders;
    QString path;
    AddressBook book;
    AddressQuery& q = *book.ADOQuery2;
};

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

    // --- A row set that reads its rows as they are read ------------------------------------

    void aPagedRowSetHoldsTheStatementsRowsInItsOrder() {
        TestFolders folders;
        // More blocks than are kept, so that blocks are dropped and read again.
        const int n = kBlock * (AddressRowPages::kBlocksKept + 2) + 17;
        const QString path = makeBook(folders.dataFolder(),
                                      {{"甲", "1", "", "张三", ""}, {"乙", "2", "", " 李四", ""}},
                                      variedCustomers(n));
        AddressBook book;
        book.ConnectAddressBook();
        AddressQuery& q = *book.ADOQuery2;
        const QString where = QStringLiteral("Select * from 客户 where 目的地 = ? order by 名称");
        const QStringList customerColumns{"ID", "名称", "电话", "地址", "收货人", "目的地"};
        const QStringList senderColumns{"ID", "单位", "电话", "地址", "发货人", "始发地"};
        struct Case {
            QString sql;
            QVariantList bound;
            QString literal;  // the same statement with the value in it, run directly
        };
        const QList<Case> cases{
            {AddressBook::kCustomerListSql, {}, AddressBook::kCustomerListSql},
            {AddressBook::kSenderListSql, {}, AddressBook::kSenderListSql},
            {where,
             {"地3"},
             QStringLiteral("Select * from 客户 where 目的地 = '地3' order by 名称")},
            {AddressBook::kCustomerLookupSql,
             {"王0"},
             QStringLiteral("Select * from 客户 where 名称 = '王0'")}};
        for (const Case& c : cases) {
            book.OpenData(c.sql, q, c.bound);
            const QList<QStringList> expected = shown(rowsOf(path, c.literal));
            QVERIFY2(!expected.isEmpty(), qPrintable(c.literal));
            QCOMPARE(q.recordCount(), expected.size());
            QCOMPARE(q.columnNames(), c.sql.contains("客户") ? customerColumns : senderColumns);
            QCOMPARE(rowsIn(q), expected);
            // Forwards through the navigation, as the pickers' look-ups read.
            QList<QStringList> forwards;
            for (q.first(); !q.eof(); q.next()) {
                QStringList texts;
                for (const QString& name : q.columnNames()) texts << shown(q.value(name));
                forwards << texts;
            }
            QCOMPARE(forwards, expected);
        }
    }

    void writingInTheMiddleOfAPagedRowSetKeepsRowsAndTableTogether() {
        CustomerRowSet set(variedCustomers(kBlock * 3 + 5));
        AddressQuery& q = set.q;
        const QString& path = set.path;
        QList<QStringList> expected = shown(rowsOf(path, AddressBook::kCustomerListSql));
        auto tableRow = [&](const QString& id) {
            return shown(rowsOf(path, "SELECT * FROM 客户 WHERE \"ID\" = " + id));
        };

        // A change in the second block, with the blocks around it read before.
        const int middle = kBlock + 10;
        QCOMPARE(rowsIn(q), expected);
        q.setCurrentRow(middle);
        q.edit();
        q.setText("电话", "999");
        q.setText("名称", "改名 ");
        q.post();
        expected[middle][1] = "改名 ";
        expected[middle][2] = "999";
        QCOMPARE(rowsIn(q), expected);
        QCOMPARE(tableRow(expected[middle][0]), QList<QStringList>{expected[middle]});
        QCOMPARE(q.currentRow(), middle);

        // Deleting the last row of a block: the next block's first row moves up.
        const int boundary = 2 * kBlock - 1;
        const QString deleted = expected[boundary][0];
        q.setCurrentRow(boundary);
        q.remove();
        expected.removeAt(boundary);
        QCOMPARE(q.currentRow(), boundary);
        QCOMPARE(q.text("ID"), expected[boundary][0]);
        QCOMPARE(rowsIn(q), expected);
        QVERIFY(tableRow(deleted).isEmpty());

        // A new row stands at the end with what the table stored; a cancelled one is gone.
        q.append();
        q.setText("名称", "新客户");
        QCOMPARE(shown(q.valueAt(q.recordCount() - 1, 1)), QStringLiteral("新客户"));
        q.post();
        const QString id = q.text("ID");
        QCOMPARE(tableRow(id).size(), 1);
        expected << tableRow(id).first();
        QCOMPARE(rowsIn(q), expected);
        q.setCurrentRow(3);
        q.append();
        q.cancel();
        QCOMPARE(q.currentRow(), 3);
        QCOMPARE(rowsIn(q), expected);

        // Opened again, the row set is the statement's once more.
        set.book.OpenData(AddressBook::kCustomerListSql, q);
        QCOMPARE(rowsIn(q), shown(rowsOf(path, AddressBook::kCustomerListSql)));
    }

    void locateAndLookupFindRowsAnywhereInAPagedRowSet() {
        QList<Customer> customers = variedCustomers(kBlock * 4);
        customers << Customer{"远方公司", "1", "", "", ""};
        if (!onSharedBook()) customers << Customer{"远方公司", "2", "", "", ""};
        customers << Customer{" 乙公司\t", "3", "", "", ""} << Customer{"丙公司", "4", "", "", ""};
        CustomerRowSet set(customers);
        AddressQuery& q = set.q;
        const QList<QStringList> rows = shown(rowsOf(set.path, AddressBook::kCustomerListSql));
        auto firstNamed = [&](const QString& name, bool trim) {
            for (int r = 0; r < rows.size(); ++r)
                if ((trim ? rows[r][1].trimmed() : rows[r][1]) == name) return r;
            return -1;
        };
        const auto blanks = AddressQuery::Match::IgnoringSurroundingBlanks;

        // The first of two equal names, wherever it stands.
        QVERIFY(q.locate("名称", "远方公司"));
        QCOMPARE(q.currentRow(), firstNamed("远方公司", false));
        QCOMPARE(q.text("电话"), QStringLiteral("1"));
        QCOMPARE(q.lookup("名称", "远方公司", "电话").toString(), QStringLiteral("1"));

        // Surrounding blanks on either side, of any kind, count only where asked.
        QVERIFY(!q.locate("名称", "乙公司"));
        QVERIFY(q.locate("名称", "乙公司", blanks));
        QCOMPARE(q.text("名称"), QStringLiteral(" 乙公司\t"));
        QCOMPARE(q.lookup("名称", "\u3000丙公司 ", "电话", blanks).toString(), QStringLiteral("4"));
        QVERIFY(!q.lookup("名称", "\u3000丙公司 ", "电话").isValid());
        // Every name stored with blanks is found by the name without them, and the first row
        // of that name (with or without blanks) is the one found.
        int withBlanks = 0;
        for (const QStringList& row : rows) {
            const QString name = row.at(1);
            if (name == QStringLiteral("<null>") || name == name.trimmed()) continue;
            ++withBlanks;
            QVERIFY(q.locate("名称", name.trimmed(), blanks));
            QCOMPARE(q.currentRow(), firstNamed(name.trimmed(), true));
        }
        QVERIFY(withBlanks > kBlock / 2);

        // What this row set stores is found at once, blanks and all; a deleted row no longer.
        q.setCurrentRow(kBlock * 2 + 7);
        q.edit();
        q.setText("名称", " 丁公司 ");
        q.post();
        q.first();
        QVERIFY(q.locate("名称", "丁公司", blanks));
        QCOMPARE(q.currentRow(), kBlock * 2 + 7);
        q.remove();
        QVERIFY(!q.lookup("名称", "丁公司", "ID", blanks).isValid());

        // A pending new row is not found; stored, it is.
        q.append();
        q.setText("名称", "戊公司");
        QVERIFY(!q.lookup("名称", "戊公司", "ID").isValid());
        q.post();
        QCOMPARE(q.lookup("名称", "戊公司", "ID"), q.value("ID"));
    }

    void findContainingMatchesAReadingOfEveryRow() {
        // Far more rows than the find looks through by key before it asks the whole table.
        CustomerRowSet set(variedCustomers(kBlock * 32 + 9));
        AddressQuery& q = set.q;
        const QList<QStringList> rows = shown(rowsOf(set.path, AddressBook::kCustomerListSql));
        const int last = int(rows.size()) - 1;
        for (const QList<int>& columns : {QList<int>{1, 2, 3, 4, 5}, QList<int>{3}})
            for (const QString& text : QStringList{"acme", "ACME 1", "_\"", "%", "1%", "!",
                                                   "13800000100", "路1", "地3", "没有"})
                for (int after : {-1, 0, kBlock - 1, kBlock * 2 + 3, last})
                    QVERIFY2(q.findContaining(text, columns, after) ==
                                 firstContaining(rows, text, columns, after),
                             qPrintable(QStringLiteral("%1 after %2").arg(text).arg(after)));
        // A pending row is searched as it shows.
        q.append();
        q.setText("名称", "待存公司");
        QCOMPARE(q.findContaining("待存", {1}, 0), last + 1);
        QCOMPARE(q.findContaining("待存", {1}, last + 1), last + 1);
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
