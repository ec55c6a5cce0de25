#include "addressbook/AddressBookBackend.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace AddressBookBackend {

bool isShared(const QSqlDatabase& db) {
    return db.driverName() == QLatin1String("QPSQL");
}

std::optional<qint64> changeCounter(const QSqlDatabase& db) {
    QSqlQuery query(db);
    const QString sql = isShared(db) ? QStringLiteral("SELECT counter FROM quorvel_changes")
                                     : QStringLiteral("PRAGMA data_version");
    if (!query.exec(sql) || !query.next()) return std::nullopt;
    return query.value(0).toLongLong();
}

bool isNameTaken(const QSqlError& error) {
    // PostgreSQL's unique_violation; SQLite's extended code for a UNIQUE constraint.
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("23505") || code == QLatin1String("2067");
}

}  // namespace AddressBookBackend
