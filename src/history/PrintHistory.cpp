#include "history/PrintHistory.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

#include "app/WaybillFieldSpecs.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"

namespace {

constexpr int kApplicationId = 0x51564849;  // "QVHI"
constexpr int kSchemaVersion = 1;

const char* const kSchema[] = {
    "CREATE TABLE PrintJob ("
    " id INTEGER PRIMARY KEY,"
    " printedAt INTEGER NOT NULL,"
    " courier TEXT NOT NULL DEFAULT '',"
    " printer TEXT NOT NULL DEFAULT '',"
    " origin TEXT NOT NULL DEFAULT '',"
    " pageCount INTEGER NOT NULL)",
    "CREATE TABLE PrintedWaybill ("
    " id INTEGER PRIMARY KEY,"
    " job INTEGER NOT NULL REFERENCES PrintJob(id),"
    " page INTEGER NOT NULL,"
    " printedAt INTEGER NOT NULL,"
    " cbb1 TEXT NOT NULL DEFAULT '', cbb2 TEXT NOT NULL DEFAULT '',"
    " cbb3 TEXT NOT NULL DEFAULT '', cbb4 TEXT NOT NULL DEFAULT '',"
    " cbb5 TEXT NOT NULL DEFAULT '', cbb11 TEXT NOT NULL DEFAULT '',"
    " cbb22 TEXT NOT NULL DEFAULT '', cbb33 TEXT NOT NULL DEFAULT '',"
    " cbb44 TEXT NOT NULL DEFAULT '', cbb55 TEXT NOT NULL DEFAULT '',"
    // What a search looks in, at once: the ten texts, the courier and the printer, lower case,
    // one a line. One substring test per row instead of twelve keeps a search of a long
    // history short.
    " searchText TEXT NOT NULL DEFAULT '')",
    // The list runs newest first: read backwards along this index, a page of it is a seek.
    "CREATE INDEX PrintedWaybill_newest ON PrintedWaybill (printedAt, id)",
    "CREATE INDEX PrintedWaybill_job ON PrintedWaybill (job, page)",
};

std::atomic<int> g_connections{0};

[[noreturn]] void raise(const QString& what, const QSqlError& error) {
    throw AppError(what + QStringLiteral("：") + error.text());
}

void exec(QSqlQuery& query, const QString& sql, const QString& what) {
    if (!query.exec(sql)) raise(what, query.lastError());
}

qint64 startOfLocalDay(const QDate& day) {
    return QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch();
}

// The WHERE clause of a filter and the values it binds, in order. Only fixed column names are
// spliced; every text of the user is bound.
struct FilterClause {
    QString sql;
    QVariantList values;
};

FilterClause filterClause(const HistoryFilter& filter) {
    QStringList conditions;
    FilterClause clause;
    const QStringList words =
        filter.text.toLower().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (const QString& word : words) {
        conditions << QStringLiteral("instr(w.searchText, ?) > 0");
        clause.values << word;
    }
    if (filter.from.isValid()) {
        conditions << QStringLiteral("w.printedAt >= ?");
        clause.values << startOfLocalDay(filter.from);
    }
    if (filter.to.isValid()) {
        conditions << QStringLiteral("w.printedAt < ?");
        clause.values << startOfLocalDay(filter.to.addDays(1));
    }
    if (!conditions.isEmpty()) clause.sql = QStringLiteral(" WHERE ") + conditions.join(" AND ");
    return clause;
}

void bindAll(QSqlQuery& query, const QVariantList& values) {
    for (const QVariant& value : values) query.addBindValue(value);
}

}  // namespace

QString PrintHistory::defaultFilePath() {
    return QDir(AppEnvironment::dataFolder()).filePath(QStringLiteral("QuorvelHistory.db"));
}

QStringList PrintHistory::fieldNames() {
    QStringList names;
    for (const WaybillFieldSpec& spec : waybillFieldSpecs()) names << spec.objectName();
    return names;
}

PrintHistory::PrintHistory(const QString& path)
    : m_path(path),
      m_connectionName(QStringLiteral("QuorvelHistory%1").arg(g_connections.fetch_add(1))) {
    const QString failed =
        QStringLiteral("无法打开打印记录 %1").arg(QDir::toNativeSeparators(path));
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw AppError(failed + QStringLiteral("：无法创建文件夹"));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(path);
    // Another copy of the program (a batch from the command line) may be writing a job.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    try {
        if (!db.open()) raise(failed, db.lastError());
        QSqlQuery query(db);
        exec(query, QStringLiteral("PRAGMA application_id"), failed);
        query.next();
        const int applicationId = query.value(0).toInt();
        exec(query, QStringLiteral("SELECT count(*) FROM sqlite_master"), failed);
        query.next();
        const bool empty = query.value(0).toInt() == 0;
        if (applicationId != kApplicationId && !(applicationId == 0 && empty))
            throw AppError(failed + QStringLiteral("：这不是打印记录文件"));
        // A write-ahead log: a reader never waits for a job being written, and a process
        // killed in the middle of a job leaves the file as it was before that job.
        exec(query, QStringLiteral("PRAGMA journal_mode=WAL"), failed);
        if (empty) {
            if (!db.transaction()) raise(failed, db.lastError());
            exec(query, QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId), failed);
            exec(query, QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion), failed);
            for (const char* statement : kSchema)
                exec(query, QString::fromLatin1(statement), failed);
            if (!db.commit()) raise(failed, db.lastError());
        }
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw;
    }
}

PrintHistory::~PrintHistory() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase PrintHistory::database() const {
    return QSqlDatabase::database(m_connectionName, false);
}

qint64 PrintHistory::recordJob(const PrintedJob& job) {
    if (job.waybills.isEmpty()) return 0;
    const QString failed = QStringLiteral("无法写入打印记录");
    QSqlDatabase db = database();
    if (!db.transaction()) raise(failed, db.lastError());
    try {
        const qint64 at = job.printedAt.toMSecsSinceEpoch();
        QSqlQuery query(db);
        query.prepare(
            QStringLiteral("INSERT INTO PrintJob (printedAt, courier, printer, origin, "
                           "pageCount) VALUES (?, ?, ?, ?, ?)"));
        query.addBindValue(at);
        query.addBindValue(job.courier);
        query.addBindValue(job.printer);
        query.addBindValue(job.origin);
        query.addBindValue(int(job.waybills.size()));
        if (!query.exec()) raise(failed, query.lastError());
        const qint64 jobId = query.lastInsertId().toLongLong();

        const QStringList names = fieldNames();
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO PrintedWaybill (job, page, printedAt, "
                                      "searchText, %1) VALUES (?, ?, ?, ?%2)")
                           .arg(names.join(QStringLiteral(", ")),
                                QStringLiteral(", ?").repeated(names.size())));
        for (int page = 0; page < job.waybills.size(); ++page) {
            insert.addBindValue(jobId);
            insert.addBindValue(page + 1);
            insert.addBindValue(at);
            QStringList searched{job.courier, job.printer};
            for (const QString& name : names) searched << job.waybills[page].value(name);
            insert.addBindValue(searched.join(QLatin1Char('\n')).toLower());
            for (const QString& name : names)
                insert.addBindValue(job.waybills[page].value(name, QStringLiteral("")));
            if (!insert.exec()) raise(failed, insert.lastError());
        }
        if (!db.commit()) raise(failed, db.lastError());
        return jobId;
    } catch (...) {
        db.rollback();
        throw;
    }
}

int PrintHistory::count(const HistoryFilter& filter) const {
    const FilterClause where = filterClause(filter);
    QSqlQuery query(database());
    query.prepare(QStringLiteral("SELECT count(*) FROM PrintedWaybill w") + where.sql);
    bindAll(query, where.values);
    if (!query.exec() || !query.next())
        raise(QStringLiteral("无法读取打印记录"), query.lastError());
    return query.value(0).toInt();
}

QList<HistoryEntry> PrintHistory::entries(const HistoryFilter& filter, int limit,
                                          const HistoryCursor* after) const {
    FilterClause where = filterClause(filter);
    if (after) {
        where.sql += where.sql.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ");
        where.sql += QStringLiteral("(w.printedAt, w.id) < (?, ?)");
        where.values << after->printedAtMs << after->id;
    }
    const QStringList names = fieldNames();
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT w.id, w.job, w.page, j.pageCount, w.printedAt, j.courier, "
                                 "j.printer, j.origin, w.%1 FROM PrintedWaybill w JOIN PrintJob j "
                                 "ON j.id = w.job%2 ORDER BY w.printedAt DESC, w.id DESC LIMIT ?")
                      .arg(names.join(QStringLiteral(", w.")), where.sql));
    bindAll(query, where.values);
    query.addBindValue(limit);
    if (!query.exec()) raise(QStringLiteral("无法读取打印记录"), query.lastError());
    QList<HistoryEntry> result;
    while (query.next()) {
        HistoryEntry entry;
        entry.id = query.value(0).toLongLong();
        entry.job = query.value(1).toLongLong();
        entry.page = query.value(2).toInt();
        entry.jobPages = query.value(3).toInt();
        entry.printedAt = QDateTime::fromMSecsSinceEpoch(query.value(4).toLongLong(), Qt::UTC);
        entry.courier = query.value(5).toString();
        entry.printer = query.value(6).toString();
        entry.origin = query.value(7).toString();
        for (int i = 0; i < names.size(); ++i) {
            const QString text = query.value(8 + i).toString();
            if (!text.isEmpty()) entry.texts.insert(names[i], text);
        }
        result << entry;
    }
    return result;
}
