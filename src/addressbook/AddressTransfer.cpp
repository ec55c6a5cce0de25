#include "addressbook/AddressTransfer.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "addressbook/CsvRecords.h"
#include "platform/AppError.h"

namespace {

using Table = AddressTransfer::Table;

QString tableName(Table table) {
    return table == Table::Senders ? QStringLiteral("发货人") : QStringLiteral("客户");
}

// The column the editor orders the table by (and the pickers list).
QString orderColumn(Table table) {
    return table == Table::Senders ? QStringLiteral("发货人") : QStringLiteral("名称");
}

QString quoted(const QString& identifier) {
    return QLatin1Char('"') + QString(identifier).replace(u'"', QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString quotedList(const QStringList& identifiers) {
    QStringList out;
    for (const QString& name : identifiers) out << quoted(name);
    return out.join(QLatin1Char(','));
}

QSqlDatabase connection(const QString& name) {
    QSqlDatabase db = QSqlDatabase::database(name, false);
    if (!db.isValid() || !db.isOpen()) throw AppError(QStringLiteral("通讯录没有连接。"));
    return db;
}

void run(QSqlQuery& query, const QString& sql) {
    if (!query.prepare(sql) || !query.exec()) throw AppError(query.lastError().text());
}

// A row of the file counts when it has a name: a customer needs its 名称, a sender a company or
// a person (a private sender has no company).
bool hasName(Table table, const QStringList& values) {
    if (table == Table::Customers) return !values.at(0).isEmpty();
    return !values.at(0).isEmpty() || !values.at(3).isEmpty();
}

bool allBlank(const QStringList& record) {
    for (const QString& field : record)
        if (!field.trimmed().isEmpty()) return false;
    return true;
}

// The customers in the book by name (blanks trimmed): the first row of each name.
QHash<QString, qint64> customerIds(const QString& connectionName) {
    QSqlQuery query(connection(connectionName));
    query.setForwardOnly(true);
    run(query, QStringLiteral("SELECT \"ID\", \"名称\" FROM \"客户\" ORDER BY \"ID\""));
    QHash<QString, qint64> ids;
    while (query.next()) {
        const QString name = query.value(1).toString().trimmed();
        if (!ids.contains(name)) ids.insert(name, query.value(0).toLongLong());
    }
    return ids;
}

// The empty text is stored as such, never as a missing value.
QVariant storedText(const QString& value) {
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

[[noreturn]] void refuseApply(QSqlDatabase& db, const QString& why) {
    db.rollback();
    throw AppError(QStringLiteral("导入失败，通讯录没有改变：") + why);
}

}  // namespace

QStringList AddressTransfer::columns(Table table) {
    if (table == Table::Senders)
        return {QStringLiteral("单位"), QStringLiteral("电话"), QStringLiteral("地址"),
                QStringLiteral("发货人"), QStringLiteral("始发地")};
    return {QStringLiteral("名称"), QStringLiteral("电话"), QStringLiteral("地址"),
            QStringLiteral("收货人"), QStringLiteral("目的地")};
}

int AddressTransfer::exportTo(const QString& connectionName, Table table, const QString& path) {
    const QStringList names = columns(table);
    QSqlQuery query(connection(connectionName));
    query.setForwardOnly(true);
    run(query, QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                   .arg(quotedList(names), quoted(tableName(table)), quoted(orderColumn(table))));
    QList<QStringList> records{names};
    while (query.next()) {
        QStringList record;
        for (int i = 0; i < names.size(); ++i) record << query.value(i).toString();
        records << record;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(CsvRecords::fileBytes(records)) < 0 ||
        !file.commit())
        throw AppError(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
    return int(records.size() - 1);
}

AddressTransfer::Plan AddressTransfer::plan(const QString& connectionName, Table table,
                                            const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("无法读取文件 %1：%2").arg(path, file.errorString()));
    QString error;
    const QList<QStringList> records =
        CsvRecords::parse(CsvRecords::decode(file.readAll()), &error);
    if (!error.isEmpty())
        throw AppError(QStringLiteral("文件 %1 不是有效的 CSV 文件：").arg(path) + error);

    // Where each column of the table stands in the file, by the header row.
    const QStringList names = columns(table);
    QVector<int> at(names.size(), -1);
    bool anyColumn = false;
    if (!records.isEmpty()) {
        const QStringList header = records.first();
        for (int c = 0; c < names.size(); ++c) {
            for (int f = 0; f < header.size(); ++f)
                if (header.at(f).trimmed() == names.at(c)) at[c] = f;
            anyColumn = anyColumn || at[c] >= 0;
        }
    }
    if (!anyColumn || (table == Table::Customers && at[0] < 0))
        throw AppError(QStringLiteral("文件 %1 的第一行应是列名：%2。")
                           .arg(path, names.join(QStringLiteral("、"))));

    Plan result;
    result.table = table;
    QHash<QString, qint64> existing;
    if (table == Table::Customers) existing = customerIds(connectionName);
    QHash<QString, int> newByName;
    for (qsizetype r = 1; r < records.size(); ++r) {
        const QStringList& record = records.at(r);
        if (allBlank(record)) continue;
        QStringList values;
        for (int c = 0; c < names.size(); ++c)
            values << (at[c] >= 0 ? record.value(at[c]).trimmed() : QString());
        if (!hasName(table, values)) {
            ++result.refused;
            continue;
        }
        if (table == Table::Customers) {
            const QString& name = values.at(0);
            if (const auto id = existing.constFind(name); id != existing.cend()) {
                result.changes.append({*id, -1, values});
                continue;
            }
            if (const auto row = newByName.constFind(name); row != newByName.cend()) {
                result.changes.append({0, *row, values});
                continue;
            }
            newByName.insert(name, int(result.newRows.size()));
        }
        result.newRows.append(values);
    }
    return result;
}

void AddressTransfer::apply(const QString& connectionName, const Plan& plan, bool updateExisting) {
    QVector<QStringList> newRows = plan.newRows;
    QVector<const Change*> updates;
    if (updateExisting) {
        for (const Change& change : plan.changes) {
            if (change.id > 0)
                updates.append(&change);
            else
                newRows[change.newRow] = change.values;  // the later row of the file wins
        }
    }
    const QStringList names = columns(plan.table);
    QSqlDatabase db = connection(connectionName);
    if (!db.transaction()) throw AppError(QStringLiteral("导入失败：") + db.lastError().text());
    QSqlQuery insert(db);
    if (!insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (?,?,?,?,?)")
                            .arg(quoted(tableName(plan.table)), quotedList(names))))
        refuseApply(db, insert.lastError().text());
    for (const QStringList& values : newRows) {
        for (const QString& value : values) insert.addBindValue(storedText(value));
        if (!insert.exec()) refuseApply(db, insert.lastError().text());
    }
    if (!updates.isEmpty()) {
        QStringList sets;
        for (const QString& name : names) sets << quoted(name) + QStringLiteral("=?");
        QSqlQuery update(db);
        if (!update.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE \"ID\"=?")
                                .arg(quoted(tableName(plan.table)), sets.join(QLatin1Char(',')))))
            refuseApply(db, update.lastError().text());
        for (const Change* change : updates) {
            for (const QString& value : change->values) update.addBindValue(storedText(value));
            update.addBindValue(change->id);
            if (!update.exec()) refuseApply(db, update.lastError().text());
        }
    }
    if (!db.commit()) refuseApply(db, db.lastError().text());
}
