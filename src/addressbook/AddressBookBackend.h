#pragma once

#include <QString>
#include <optional>

class QSqlDatabase;
class QSqlError;

// What differs between the two places an address book can live: the local file (SQLite, see
// AddressBookFile.h) and the shared book on a PostgreSQL server (see SharedAddressBook.h).
// Everything else the program sends runs unchanged on both: identifiers in double quotes
// (PostgreSQL folds unquoted ones to lower case, so the key is always written "ID"), "?"
// placeholders, and INSERT ... RETURNING "ID" for the key of a new row.
namespace AddressBookBackend {

// The connection is to the shared book on a server.
bool isShared(const QSqlDatabase& db);

// A number that moves whenever a row of either table is committed, by this or any other
// connection; nothing when it cannot be read. The local file gives SQLite's data version, the
// shared book the counter its triggers bump (a change committed by another program shows).
std::optional<qint64> changeCounter(const QSqlDatabase& db);

// The database refused a row because its name is already taken (a unique constraint, which
// only the shared book has: 客户.名称 without surrounding blanks).
bool isNameTaken(const QSqlError& error);

}  // namespace AddressBookBackend
