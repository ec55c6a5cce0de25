#pragma once

#include <QSqlDatabase>
#include <QString>

struct sqlite3;

// The small layer between the address book and the database engine: it knows the file format
// of "QuorvelDB.qdb", opens an existing file named by an OLE DB style connection string, and makes
// a new empty file (for the tool make-address-book).
//
// The engine is SQLite through Qt SQL. The address book has a database password; SQLite as
// shipped here has no encryption, so the password is realised like this:
//
//   * the file is marked as ours by SQLite's application_id (kApplicationId) and carries a
//     table QuorvelGuard holding a random salt and SHA-256(salt + password);
//   * open() refuses a file that lacks the mark or the table, or whose digest does not match
//     the password of the connection string, and a file that is not an SQLite database at all.
//
// WHAT THIS IS NOT: it is not encryption and not access control. The names, telephones and
// addresses lie in the file in plain text; anyone who has the file and any SQLite tool can read
// (and change) every row without knowing the password. The password only makes sure that this
// program opens the address book made for it, and that a file made with another password (or by
// some other program) is refused with "数据库连接设置错误！" instead of being used.
//
// Collation: the name columns (发货人 of 发货人, 名称 of 客户) are declared COLLATE PINYIN, a
// collation registered on every connection this layer opens: Chinese names sort by their pinyin
// (ICU's Chinese collation through QCollator), ties broken by the exact characters, so that "="
// stays an exact comparison. Each of the two columns has an index in that order, so the list
// statements read the index instead of sorting, and a look-up by name is a seek. The file
// remembers which collator built the indexes and rebuilds them (REINDEX) when that changes.
// Other SQLite tools can read every row, but sorting by those columns or adding rows needs the
// collation, which only this program registers.
namespace AddressBookFile {

inline constexpr char kPassword[] = "KDMRTQXW";
inline constexpr int kApplicationId = 0x51564442;  // "QVDB"
inline constexpr char kCollationName[] = "PINYIN";

struct ConnectionParts {
    QString dataSource;
    QString password;
};

// Reads "Key=Value;Key=Value" as OLE DB writes it: keys without regard to case, a value may be
// enclosed in double quotes (a doubled quote inside stands for one). The two keys this layer
// needs are "Data Source" and "Jet OLEDB:Database Password".
ConnectionParts parseConnectionString(const QString& connectionString);

// Quotes a connection-string value if it needs it (contains ';' or '"', or begins or ends with
// a blank); otherwise returns it unchanged.
QString quoteConnectionValue(const QString& value);

// Opens the existing file named by the connection string as the Qt SQL connection
// `connectionName` (replacing any connection of that name). Never creates a file. On failure the
// connection is left closed and `why` (when given) says what was wrong.
bool open(const QString& connectionName, const QString& connectionString, QString* why = nullptr);

// Makes a new, empty address book at `path`, protected by `password`. Refuses (returns false,
// touches nothing) when anything already exists at `path`.
bool create(const QString& path, const QString& password, QString* why = nullptr);

// The SQLite engine's own handle of an open connection; null when it is no SQLite connection.
sqlite3* sqliteHandle(const QSqlDatabase& db);

// Registers the PINYIN collation on an open SQLite connection.
bool registerPinyinCollation(QSqlDatabase& db);

// Closes and forgets the named connection.
void remove(const QString& connectionName);

}  // namespace AddressBookFile
