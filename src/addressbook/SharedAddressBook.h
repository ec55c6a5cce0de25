#pragma once

#include <QString>

#include "addressbook/SharedBookSettings.h"

// The shared address book: the two tables on a PostgreSQL server named by the settings file's
// [SharedAddressBook] section, so that several counters work on one book.
//
// The tables have the columns of the local book in the same order (the key "ID" first, an
// identity column), so "Select *" reads them alike. The name columns sort by the server's ICU
// Chinese collation "zh-x-icu" (pinyin order, ties broken by the exact characters as in the
// local book); a server without ICU sorts them by its default collation instead. A customer's
// name is unique without its surrounding blanks (a unique index on btrim("名称")), so two
// counters adding the same customer at once cannot both succeed. A one-row table
// quorvel_changes counts committed changes (statement triggers on both tables), which tells the
// pickers whether another counter changed the book.
//
// The schema is made only by an explicit step (initialise), never on connecting.
namespace SharedAddressBook {

// The ICU collation the name columns use when the server has it.
inline constexpr char kCollation[] = "zh-x-icu";

// Server, port, database and user, for messages; never the password.
QString describe(const SharedBookSettings& settings);

// Opens the Qt SQL connection `connectionName` (replacing any of that name) to the server.
// On failure the connection is left closed and `why` says what was wrong, in words for the
// user: which server and database, the driver's reason, never the password.
bool open(const QString& connectionName, const SharedBookSettings& settings, QString* why);

// Whether the tables have been made on the open connection.
bool isInitialised(const QString& connectionName);

enum class Outcome { Made, AlreadyThere, Failed };
// Makes the tables, their indexes and the change counter in one transaction on the open
// connection; an initialised book is left as it is (AlreadyThere). `why` gives the reason of a
// failure; `note` (when made) says which collation orders the names.
Outcome initialise(const QString& connectionName, QString* why, QString* note = nullptr);

}  // namespace SharedAddressBook
