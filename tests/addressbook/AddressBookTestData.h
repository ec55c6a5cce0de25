#pragma once

// Makes address books for the tests and the benchmark: the empty protected file as
// make-address-book makes it, then rows put in with one transaction on a private connection.
//
// The same tests run on the shared book too: with QUORVEL_TEST_BOOK=postgres (a second CTest
// entry) makeBook makes a fresh database on a throw-away PostgreSQL server of the test
// process's own, initialises it as "初始化共享通讯录" does, names it in the settings file's
// [SharedAddressBook] section, and gives back "postgres:<database>" in place of a file path;
// execOn and rowsOf understand that name.

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <stdexcept>

#include "../support/PostgresCluster.h"
#include "addressbook/AddressBook.h"
#include "addressbook/AddressBookFile.h"
#include "addressbook/SharedAddressBook.h"
#include "platform/AppEnvironment.h"
#include "template/ProfileFile.h"

namespace testdata {

// 单位, 电话, 地址, 发货人, 始发地 (the columns of 发货人 after the key, in table order).
struct Sender {
    QVariant company, phone, address, name, origin;
};
// 名称, 电话, 地址, 收货人, 目的地 (the columns of 客户 after the key, in table order).
struct Customer {
    QVariant name, phone, address, receiver, destination;
};

inline QString bookPath(const QString& dataFolder) {
    return QDir(dataFolder).filePath(QStringLiteral("QuorvelDB.qdb"));
}

inline QString connectionStringFor(const QString& path, const QString& password) {
    return QStringLiteral("Data Source=") + AddressBookFile::quoteConnectionValue(path) +
           QStringLiteral(";Jet OLEDB:Database Password=") + password;
}

// --- The shared book -----------------------------------------------------------------------

inline bool onSharedBook() {
    return qEnvironmentVariable("QUORVEL_TEST_BOOK") == QLatin1String("postgres");
}

// Where a missing server is a failure rather than a reason to skip: in CI, or when asked.
inline bool sharedServerRequired() {
    return qEnvironmentVariable("QUORVEL_REQUIRE_POSTGRES") == QLatin1String("1") ||
           qEnvironmentVariable("CI") == QLatin1String("true");
}

inline PostgresCluster& sharedServer() {
    static PostgresCluster server;
    return server;
}

inline const QString kSharedPrefix = QStringLiteral("postgres:");

inline SharedBookSettings sharedSettings(const QString& database) {
    SharedBookSettings settings;
    settings.server = sharedServer().socketFolder();
    settings.port = sharedServer().port();
    settings.database = database;
    settings.user = sharedServer().superUser();
    return settings;
}

// Names the shared book `database` in the program's settings file.
inline void nameSharedBookInSettings(const QString& database) {
    ProfileFile ini(AppEnvironment::settingsFilePath());
    const SharedBookSettings settings = sharedSettings(database);
    ini.writeString(SharedBookSettings::kSection, QStringLiteral("Server"), settings.server);
    ini.writeInteger(SharedBookSettings::kSection, QStringLiteral("Port"), settings.port);
    ini.writeString(SharedBookSettings::kSection, QStringLiteral("Database"), database);
    ini.writeString(SharedBookSettings::kSection, QStringLiteral("User"), settings.user);
}

// In initTestCase: starts the server; without one the run is skipped, unless a server is
// required (then it fails). The _IF_NEEDED form does so only on the shared book.
#define START_SHARED_SERVER()                                                    \
    do {                                                                         \
        if (!testdata::sharedServer().start()) {                                 \
            const QString error = testdata::sharedServer().error();              \
            if (testdata::sharedServerRequired()) QFAIL(qPrintable(error));      \
            QSKIP(qPrintable(QStringLiteral("no PostgreSQL server: ") + error)); \
        }                                                                        \
    } while (false)
#define START_SHARED_SERVER_IF_NEEDED()                      \
    do {                                                     \
        if (testdata::onSharedBook()) START_SHARED_SERVER(); \
    } while (false)

// A test about the local file itself (its password, its bytes, its collation) says so.
#define LOCAL_FILE_ONLY()                                                         \
    do {                                                                          \
        if (testdata::onSharedBook()) QSKIP("about the local address-book file"); \
    } while (false)

// Opens the book `path` names (a file, or "postgres:<database>") as connection `name`.
inline bool openBook(const QString& name, const QString& path, const QString& password,
                     QString* why) {
    if (path.startsWith(kSharedPrefix))
        return SharedAddressBook::open(name, sharedSettings(path.mid(kSharedPrefix.size())), why);
    return AddressBookFile::open(name, connectionStringFor(path, password), why);
}

// Runs `work(db)` on a private connection to an existing book, inside one transaction.
template <typename Work>
void withConnection(const QString& path, Work&& work,
                    const QString& password = QString::fromLatin1(AddressBookFile::kPassword)) {
    static int serial = 0;
    const QString name = QStringLiteral("testdata-%1").arg(++serial);
    QString why;
    if (!openBook(name, path, password, &why))
        throw std::runtime_error(("cannot open test book: " + why).toStdString());
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.transaction();
        work(db);
        db.commit();
    }
    AddressBookFile::remove(name);
}

inline void exec(QSqlQuery& query) {
    if (!query.exec()) throw std::runtime_error(query.lastError().text().toStdString());
}

inline void insertSenders(QSqlDatabase& db, const QList<Sender>& senders) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "INSERT INTO 发货人 (单位, 电话, 地址, 发货人, 始发地) VALUES (?, ?, ?, ?, ?)"));
    for (const Sender& s : senders) {
        query.addBindValue(s.company);
        query.addBindValue(s.phone);
        query.addBindValue(s.address);
        query.addBindValue(s.name);
        query.addBindValue(s.origin);
        exec(query);
    }
}

inline void insertCustomers(QSqlDatabase& db, const QList<Customer>& customers) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "INSERT INTO 客户 (名称, 电话, 地址, 收货人, 目的地) VALUES (?, ?, ?, ?, ?)"));
    for (const Customer& c : customers) {
        query.addBindValue(c.name);
        query.addBindValue(c.phone);
        query.addBindValue(c.address);
        query.addBindValue(c.receiver);
        query.addBindValue(c.destination);
        exec(query);
    }
}

// Makes a fresh, initialised shared book named in the settings file; returns its name.
inline QString makeSharedBook() {
    static int serial = 0;
    const QString database = QStringLiteral("book%1").arg(++serial);
    if (!sharedServer().createDatabase(database))
        throw std::runtime_error(sharedServer().error().toStdString());
    const QString name = QStringLiteral("testdata-init-%1").arg(serial);
    QString why;
    if (!SharedAddressBook::open(name, sharedSettings(database), &why) ||
        SharedAddressBook::initialise(name, &why) != SharedAddressBook::Outcome::Made)
        throw std::runtime_error(("cannot make the shared book: " + why).toStdString());
    AddressBookFile::remove(name);
    nameSharedBookInSettings(database);
    return kSharedPrefix + database;
}

// Makes the book at dataFolder/QuorvelDB.qdb (or, on the shared book, a fresh database) with
// the given rows; returns its path (or name).
inline QString makeBook(const QString& dataFolder, const QList<Sender>& senders = {},
                        const QList<Customer>& customers = {},
                        const QString& password = QString::fromLatin1(AddressBookFile::kPassword)) {
    QDir().mkpath(dataFolder);
    const QString path = onSharedBook() ? makeSharedBook() : bookPath(dataFolder);
    QString why;
    if (!onSharedBook() && !AddressBookFile::create(path, password, &why))
        throw std::runtime_error(why.toStdString());
    if (!senders.isEmpty() || !customers.isEmpty()) {
        withConnection(
            path,
            [&](QSqlDatabase& db) {
                insertSenders(db, senders);
                insertCustomers(db, customers);
            },
            password);
    }
    return path;
}

// Runs one statement on the book (for changes behind the program's back).
inline void execOn(const QString& path, const QString& sql, const QVariantList& values = {}) {
    withConnection(path, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        // The server prepares no schema changes: a statement without values runs directly.
        if (values.isEmpty()) {
            if (!query.exec(sql)) throw std::runtime_error(query.lastError().text().toStdString());
            return;
        }
        if (!query.prepare(sql)) throw std::runtime_error(query.lastError().text().toStdString());
        for (const QVariant& v : values) query.addBindValue(v);
        exec(query);
    });
}

inline QList<QVariantList> rowsOf(const QString& path, const QString& sql) {
    QList<QVariantList> rows;
    withConnection(path, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (!query.exec(sql)) throw std::runtime_error(query.lastError().text().toStdString());
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i) row << query.value(i);
            rows << row;
        }
    });
    return rows;
}

// `count` customers whose names repeat, sort in many places and carry what tends to go wrong:
// surrounding blanks (a space, a tab, an ideographic space), no value, Latin letters in both
// cases, digits, quotes and the characters LIKE treats specially.
inline QList<Customer> variedCustomers(int count) {
    static const QStringList surnames{"王", "李", "张", "刘", "陈", "闫", "覃", "单", "解", "区"};
    // Equal names where the book allows them; the shared book keeps customer names unique.
    const int numbers = onSharedBook() ? count : count / 3 + 1;
    QList<Customer> rows;
    for (int i = 0; i < count; ++i) {
        QString name = surnames.at(i % surnames.size()) + QString::number(i % numbers);
        QVariant stored = name;
        switch (i % 13) {
            case 1:
                stored = QStringLiteral(" ") + name;
                break;
            case 2:
                stored = name + QStringLiteral("\t");
                break;
            case 3:
                stored = QStringLiteral("\u3000") + name + QStringLiteral("  ");
                break;
            case 4:
                stored = QStringLiteral("Acme %1_\"%2\"").arg(i).arg(i % 7);
                break;
            case 5:
                stored = QStringLiteral("acme %1%").arg(i);
                break;
            case 6:
                stored = QVariant(QMetaType(QMetaType::QString));
                break;
            default:
                break;
        }
        rows << Customer{stored, QString::number(13800000000LL + i),
                         i % 5 == 0 ? QVariant(QMetaType(QMetaType::QString))
                                    : QVariant(QStringLiteral("路%1号").arg(i)),
                         QStringLiteral("收%1").arg(i), QStringLiteral("地%1").arg(i % 11)};
    }
    return rows;
}

}  // namespace testdata
