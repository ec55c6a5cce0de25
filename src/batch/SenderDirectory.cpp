#include "batch/SenderDirectory.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

#include "addressbook/AddressBook.h"
#include "addressbook/AddressBookFile.h"
#include "addressbook/AddressFieldColumns.h"

SenderDirectory::SenderDirectory()
    : m_connection(QStringLiteral("SenderDirectory%1").arg(quintptr(this))) {
    m_open = AddressBook::openConfiguredBook(m_connection, &m_failure);
}

SenderDirectory::~SenderDirectory() {
    AddressBookFile::remove(m_connection);
}

QStringList SenderDirectory::names() const {
    QStringList names;
    if (!m_open) return names;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(AddressBook::kSenderListSql)) return names;
    const int column = query.record().indexOf(QStringLiteral("发货人"));
    while (query.next()) names << query.value(column).toString();
    return names;
}

std::optional<WaybillTexts> SenderDirectory::textsOf(const QString& name) const {
    if (!m_open) return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(AddressBook::kSenderLookupSql);
    query.addBindValue(name);
    if (!query.exec() || !query.next()) return std::nullopt;
    WaybillTexts texts;
    for (const FieldColumn& pair : kSenderFields)
        texts.insert(QLatin1String(pair.field),
                     query.value(QString::fromUtf8(pair.column)).toString());
    return texts;
}
