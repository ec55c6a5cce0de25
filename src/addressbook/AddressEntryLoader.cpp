#include "addressbook/AddressEntryLoader.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

struct AddressEntryLoader::Run {
    std::atomic_bool abandoned = false;
    std::unique_ptr<QThread> thread;
};

AddressEntryLoader::AddressEntryLoader(QObject* parent) : QObject(parent) {}

AddressEntryLoader::~AddressEntryLoader() {
    for (const auto& run : m_runs) run->abandoned = true;
    for (const auto& run : m_runs) run->thread->wait();
}

namespace {

std::atomic_int connectionSerial = 0;

QString textOf(const QSqlQuery& query, int column) {
    return query.value(column).toString();
}

}  // namespace

std::shared_ptr<AddressEntries> AddressEntryLoader::read(
    const AddressBook::ConnectionOpener& openBook, const QString& sql,
    const std::atomic_bool& abandoned) {
    const QString name = QStringLiteral("AddressEntries-%1").arg(++connectionSerial);
    std::shared_ptr<AddressEntries> entries;
    {
        // Opened like the book's own connection (the PINYIN collation on the local file, the
        // password on the shared one), since the name columns sort by that collation.
        const bool opened = openBook(name, nullptr);
        QSqlDatabase db = QSqlDatabase::database(name, false);
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (opened && query.exec(sql)) {
            entries = std::make_shared<AddressEntries>();
            for (int row = 0; query.next(); ++row) {
                if (row % 4096 == 0 && abandoned) break;
                entries->append(query.value(0).toLongLong(), textOf(query, 1),
                                textOf(query, 2).trimmed(), textOf(query, 3).trimmed());
            }
            if (query.lastError().isValid()) entries.reset();
            if (entries) entries->finish();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return abandoned ? nullptr : entries;
}

void AddressEntryLoader::start(AddressBook::ConnectionOpener openBook, const QString& sql) {
    if (m_current) m_current->abandoned = true;
    // Threads that have ended are forgotten.
    std::erase_if(m_runs, [](const auto& run) { return run->thread->isFinished(); });
    auto run = std::make_shared<Run>();
    run->thread.reset(QThread::create([this, run, openBook = std::move(openBook), sql] {
        std::shared_ptr<const AddressEntries> entries = read(openBook, sql, run->abandoned);
        if (run->abandoned) return;
        // The destructor waits for this thread, so `this` is alive here; the call is queued
        // to the starting thread and dropped should this object be gone by then.
        QMetaObject::invokeMethod(
            this, [this, run, entries] { deliver(run, entries); }, Qt::QueuedConnection);
    }));
    m_current = run;
    m_runs.push_back(run);
    run->thread->start(QThread::LowPriority);
}

void AddressEntryLoader::deliver(const std::shared_ptr<Run>& run,
                                 std::shared_ptr<const AddressEntries> entries) {
    if (run != m_current || run->abandoned) return;
    m_current.reset();
    if (entries)
        emit loaded(std::move(entries));
    else
        emit failed();
}
