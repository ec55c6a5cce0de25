#include "addressbook/AddressBookFile.h"

#include <sqlite3.h>

#include <QCollator>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <cstring>

#if __has_include(<unicode/uvernum.h>)
#include <unicode/uvernum.h>
#define QUORVEL_ICU_VERSION U_ICU_VERSION
#else
#define QUORVEL_ICU_VERSION "unknown"
#endif

namespace AddressBookFile {
namespace {

const QString kDriver = QStringLiteral("QSQLITE");

bool fail(QString* why, const QString& text) {
    if (why) *why = text;
    return false;
}

QCollator makeCollator() {
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}

// SQLite hands the collation UTF-8 bytes. Equal bytes are equal; otherwise the pinyin order
// decides, and where the collator sees no difference the bytes do, so the order is total and
// "=" under this collation means "the same text".
int comparePinyin(void* arg, int n1, const void* s1, int n2, const void* s2) {
    const int common = std::min(n1, n2);
    const int bytes = common > 0 ? std::memcmp(s1, s2, static_cast<size_t>(common)) : 0;
    if (bytes == 0 && n1 == n2) return 0;
    auto* collator = static_cast<QCollator*>(arg);
    const QString a = QString::fromUtf8(static_cast<const char*>(s1), n1);
    const QString b = QString::fromUtf8(static_cast<const char*>(s2), n2);
    const int byPinyin = collator->compare(a, b);
    if (byPinyin != 0) return byPinyin < 0 ? -1 : 1;
    if (bytes != 0) return bytes < 0 ? -1 : 1;
    return n1 < n2 ? -1 : 1;
}

void destroyCollator(void* arg) {
    delete static_cast<QCollator*>(arg);
}

// Which collator built the indexes: the library versions, and the order it gives a fixed sample
// (so that a changed rule shows up even where the version strings do not).
QString collationFingerprint() {
    QStringList sample{
        QStringLiteral("啊"),     QStringLiteral("澳"),     QStringLiteral("芭"),
        QStringLiteral("重庆"),   QStringLiteral("长沙"),   QStringLiteral("厦门"),
        QStringLiteral("行者"),   QStringLiteral("银行"),   QStringLiteral("张三"),
        QStringLiteral("章三"),   QStringLiteral("李四"),   QStringLiteral("赵五"),
        QStringLiteral("座"),     QStringLiteral("亍"),     QStringLiteral("ABC公司"),
        QStringLiteral("abc"),    QStringLiteral("Zed"),    QStringLiteral("123"),
        QStringLiteral("（甲）"), QStringLiteral("甲公司"), QStringLiteral("乙公司"),
        QStringLiteral("丙公司"), QStringLiteral("吕"),     QStringLiteral("绿"),
        QStringLiteral("女"),     QStringLiteral("単"),     QStringLiteral("驫"),
    };
    const QCollator collator = makeCollator();
    std::sort(sample.begin(), sample.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    const QByteArray order =
        QCryptographicHash::hash(sample.join(QChar(0x1F)).toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QStringLiteral("Qt %1; ICU %2; %3")
        .arg(QString::fromLatin1(qVersion()), QStringLiteral(QUORVEL_ICU_VERSION),
             QString::fromLatin1(order));
}

QByteArray passwordDigest(const QByteArray& salt, const QString& password) {
    return QCryptographicHash::hash(salt + password.toUtf8(), QCryptographicHash::Sha256);
}

QString sqliteUri(const QString& path, const char* mode) {
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
           QStringLiteral("?mode=") + QLatin1String(mode);
}

bool exec(QSqlQuery& query, const QString& sql, QString* why) {
    if (query.exec(sql)) return true;
    return fail(why, query.lastError().text());
}

// The file must be one of ours, made for this password.
bool checkProtection(QSqlDatabase& db, const QString& password, QString* why) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA application_id")) || !query.next())
        return fail(why, QStringLiteral("not an SQLite database: ") + query.lastError().text());
    if (query.value(0).toInt() != kApplicationId)
        return fail(why, QStringLiteral("not a Quorvel address book"));
    if (!query.exec(QStringLiteral("SELECT salt, digest FROM QuorvelGuard")) || !query.next())
        return fail(why, QStringLiteral("the address book carries no password"));
    const QByteArray salt = query.value(0).toByteArray();
    const QByteArray digest = query.value(1).toByteArray();
    if (passwordDigest(salt, password) != digest)
        return fail(why, QStringLiteral("wrong database password"));
    return true;
}

// Rebuilds the name indexes when the collator has changed since they were built. A file that
// cannot be written keeps its indexes; the program still works, only the order may be stale.
void refreshCollation(QSqlDatabase& db) {
    QSqlQuery query(db);
    const QString current = collationFingerprint();
    if (query.exec(QStringLiteral("SELECT collation FROM QuorvelGuard")) && query.next() &&
        query.value(0).toString() == current)
        return;
    query.finish();
    if (!db.transaction()) return;
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE QuorvelGuard SET collation = ?"));
    update.addBindValue(current);
    if (update.exec() && update.exec(QStringLiteral("REINDEX PINYIN")))
        db.commit();
    else
        db.rollback();
}

const char* const kSchema[] = {
    "PRAGMA user_version = 1",
    // Columns in the order the editor's grid relies on; the row key first. Only the listed name
    // columns carry the pinyin collation; the other texts compare as written.
    "CREATE TABLE \"发货人\" ("
    " \"ID\" INTEGER PRIMARY KEY AUTOINCREMENT,"
    " \"单位\" TEXT DEFAULT '',"
    " \"电话\" TEXT DEFAULT '',"
    " \"地址\" TEXT DEFAULT '',"
    " \"发货人\" TEXT COLLATE PINYIN DEFAULT '',"
    " \"始发地\" TEXT DEFAULT '')",
    "CREATE INDEX \"发货人_发货人\" ON \"发货人\" (\"发货人\")",
    "CREATE TABLE \"客户\" ("
    " \"ID\" INTEGER PRIMARY KEY AUTOINCREMENT,"
    " \"名称\" TEXT COLLATE PINYIN DEFAULT '',"
    " \"电话\" TEXT DEFAULT '',"
    " \"地址\" TEXT DEFAULT '',"
    " \"收货人\" TEXT DEFAULT '',"
    " \"目的地\" TEXT DEFAULT '')",
    "CREATE INDEX \"客户_名称\" ON \"客户\" (\"名称\")",
    "CREATE TABLE QuorvelGuard (salt BLOB NOT NULL, digest BLOB NOT NULL, collation TEXT)",
};

bool makeSchema(QSqlDatabase& db, const QString& password, QString* why) {
    QSqlQuery query(db);
    if (!exec(query, QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId), why))
        return false;
    if (!db.transaction()) return fail(why, db.lastError().text());
    for (const char* statement : kSchema) {
        if (!exec(query, QString::fromUtf8(statement), why)) {
            db.rollback();
            return false;
        }
    }
    QByteArray salt(16, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()),
                                          salt.size() / int(sizeof(quint32)));
    query.prepare(
        QStringLiteral("INSERT INTO QuorvelGuard (salt, digest, collation) VALUES (?, ?, ?)"));
    query.addBindValue(salt);
    query.addBindValue(passwordDigest(salt, password));
    query.addBindValue(collationFingerprint());
    if (!query.exec()) {
        const QString text = query.lastError().text();
        db.rollback();
        return fail(why, text);
    }
    if (!db.commit()) return fail(why, db.lastError().text());
    return true;
}

}  // namespace

ConnectionParts parseConnectionString(const QString& connectionString) {
    ConnectionParts parts;
    const QString& s = connectionString;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        const int eq = s.indexOf(QLatin1Char('='), i);
        if (eq < 0) break;
        const QString key = s.mid(i, eq - i).trimmed();
        QString value;
        int j = eq + 1;
        if (j < n && s.at(j) == QLatin1Char('"')) {
            ++j;
            while (j < n) {
                if (s.at(j) == QLatin1Char('"')) {
                    if (j + 1 < n && s.at(j + 1) == QLatin1Char('"')) {
                        value += QLatin1Char('"');
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += s.at(j++);
            }
            const int semi = s.indexOf(QLatin1Char(';'), j);
            i = semi < 0 ? n : semi + 1;
        } else {
            const int semi = s.indexOf(QLatin1Char(';'), j);
            value = s.mid(j, (semi < 0 ? n : semi) - j);
            i = semi < 0 ? n : semi + 1;
        }
        if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            parts.dataSource = value;
        else if (key.compare(QLatin1String("Jet OLEDB:Database Password"), Qt::CaseInsensitive) ==
                 0)
            parts.password = value;
    }
    return parts;
}

QString quoteConnectionValue(const QString& value) {
    const bool needs = value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('"')) ||
                       (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()));
    if (!needs) return value;
    QString quoted = value;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

sqlite3* sqliteHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(handle.data());
}

bool registerPinyinCollation(QSqlDatabase& db) {
    sqlite3* sqlite = sqliteHandle(db);
    if (!sqlite) return false;
    auto* collator = new QCollator(makeCollator());
    return sqlite3_create_collation_v2(sqlite, kCollationName, SQLITE_UTF8, collator, comparePinyin,
                                       destroyCollator) == SQLITE_OK;
}

void remove(const QString& connectionName) {
    if (!QSqlDatabase::contains(connectionName)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

bool open(const QString& connectionName, const QString& connectionString, QString* why) {
    remove(connectionName);
    const ConnectionParts parts = parseConnectionString(connectionString);
    if (parts.dataSource.isEmpty()) return fail(why, QStringLiteral("no data source"));
    // SQLite would happily create a missing file; the address book is never created here.
    if (!QFileInfo(parts.dataSource).isFile())
        return fail(why, QStringLiteral("no such file: ") + parts.dataSource);
    if (!QSqlDatabase::isDriverAvailable(kDriver))
        return fail(why, QStringLiteral("the Qt SQLite driver is not installed"));

    QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, connectionName);
    // mode=rw: open read-write, and fail rather than create should the file vanish meanwhile.
    db.setDatabaseName(sqliteUri(parts.dataSource, "rw"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=3000"));
    if (!db.open()) return fail(why, db.lastError().text());
    if (!registerPinyinCollation(db)) {
        db.close();
        return fail(why, QStringLiteral("cannot register the PINYIN collation"));
    }
    if (!checkProtection(db, parts.password, why)) {
        db.close();
        return false;
    }
    refreshCollation(db);
    return true;
}

bool create(const QString& path, const QString& password, QString* why) {
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return fail(why, QStringLiteral("%1 already exists; it is left as it is").arg(path));
    if (!QSqlDatabase::isDriverAvailable(kDriver))
        return fail(why, QStringLiteral("the Qt SQLite driver is not installed"));
    {
        // Claim the name first, so that a file appearing meanwhile is never overwritten.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return fail(why, QStringLiteral("cannot create %1: %2").arg(path, file.errorString()));
    }
    static int serial = 0;
    const QString name = QStringLiteral("QuorvelAddressBookCreate%1").arg(++serial);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, name);
        db.setDatabaseName(sqliteUri(path, "rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (!db.open())
            fail(why, db.lastError().text());
        else if (!registerPinyinCollation(db))
            fail(why, QStringLiteral("cannot register the PINYIN collation"));
        else
            ok = makeSchema(db, password, why);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!ok) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
    }
    return ok;
}

}  // namespace AddressBookFile
