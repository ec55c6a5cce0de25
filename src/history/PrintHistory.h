#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "waybill/WaybillTemplate.h"

// The print history: every waybill handed to a printer, kept in its own SQLite file
// "QuorvelHistory.db" beside the address book (AppEnvironment::dataFolder()). It is a file of
// its own because it grows with every print while the address book stays small, because the
// address book's name columns need a collation only this program registers (a history in that
// file could not be inspected with ordinary tools), and because a damaged or locked history
// must never keep the address book from opening.
//
// A job is what one print command handed to the printer: a single print or a print from the
// preview is a job of one waybill, a batch a job of many. A job is written in one transaction,
// so a crash leaves either the whole job or nothing of it. Times are kept as milliseconds since
// the epoch in UTC and shown in local time.

// What was handed to the printer in one job.
struct PrintedJob {
    QDateTime printedAt;  // when the job was handed over (UTC is stored)
    QString courier;
    QString printer;
    QString origin;  // the command that printed it: "打印", "预览打印", "批量打印" …
    QList<WaybillTexts> waybills;  // one per page, in page order
};

// One printed waybill as the history holds it.
struct HistoryEntry {
    qint64 id = 0;
    qint64 job = 0;
    int page = 0;  // 1-based place in its job
    int jobPages = 0;
    QDateTime printedAt;  // UTC
    QString courier;
    QString printer;
    QString origin;
    WaybillTexts texts;
};

// Which entries to list: every one of the words of `text` somewhere in the texts, the courier
// or the printer (without regard to case), printed on a local day from `from` to `to` (either
// may be left open).
struct HistoryFilter {
    QString text;
    QDate from;
    QDate to;
};

// Where a page of the newest-first list ends; the next page starts after it.
struct HistoryCursor {
    qint64 printedAtMs = 0;
    qint64 id = 0;
};

class PrintHistory {
  public:
    // data/QuorvelHistory.db in AppEnvironment::dataFolder().
    static QString defaultFilePath();
    // The ten field names the history keeps, in the order of the waybill's fields.
    static QStringList fieldNames();

    // Opens (and, when missing, creates) the history file. Raises AppError with the reason when
    // the file cannot be opened or is not a print history.
    explicit PrintHistory(const QString& path = defaultFilePath());
    ~PrintHistory();
    PrintHistory(const PrintHistory&) = delete;
    PrintHistory& operator=(const PrintHistory&) = delete;

    QString path() const { return m_path; }

    // Writes a job and its waybills in one transaction and returns the job's number. A job
    // without waybills is not written (returns 0). Raises AppError, leaving nothing of the job
    // behind, when it cannot be written.
    qint64 recordJob(const PrintedJob& job);

    // The entries the filter admits: how many, and up to `limit` of them, newest first, after
    // `after` (from the newest when null).
    int count(const HistoryFilter& filter) const;
    QList<HistoryEntry> entries(const HistoryFilter& filter, int limit,
                                const HistoryCursor* after = nullptr) const;

    QSqlDatabase database() const;

  private:
    QString m_path;
    QString m_connectionName;
};
