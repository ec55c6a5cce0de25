#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

#include "history/PrintHistory.h"

// A process recording print jobs is killed (SIGKILL, nothing flushed, no destructor run) while
// it writes; the history must then hold whole jobs only. The writer is this same executable,
// started again with the history's path in an environment variable: the real recording code in
// a real process.

namespace {

const char kWriterVariable[] = "QUORVEL_HISTORY_WRITER";

// The texts of page `page` of `pages` of job `tag`, so that a reader can tell where each row
// belongs and whether its job is complete.
WaybillTexts pageTexts(const QString& tag, int page, int pages) {
    WaybillTexts texts;
    for (const QString& name : PrintHistory::fieldNames())
        texts.insert(name, QStringLiteral("%1 %2 %3/%4 北京市海淀区中关村大街")
                               .arg(name, tag)
                               .arg(page)
                               .arg(pages));
    return texts;
}

// Records jobs of 40 to 199 waybills for ever, telling the parent after each one.
int writeJobsUntilKilled(const QString& path) {
    PrintHistory history(path);
    const QString round = qEnvironmentVariable("QUORVEL_HISTORY_ROUND");
    for (int k = 0;; ++k) {
        const int pages = 40 + (k * 37) % 160;
        PrintedJob job{QDateTime::currentDateTimeUtc(), "顺丰快递", "PDF", "批量打印", {}};
        const QString tag = QStringLiteral("r%1j%2").arg(round).arg(k);
        for (int p = 1; p <= pages; ++p) job.waybills << pageTexts(tag, p, pages);
        history.recordJob(job);
        std::printf("%s\n", qPrintable(tag));
        std::fflush(stdout);
    }
}

}  // namespace

class TestHistoryCrash : public QObject {
    Q_OBJECT
  private slots:
    void aKilledWriterLeavesOnlyWholeJobs() {
        QTemporaryDir dir;
        const QString path = dir.filePath("data/QuorvelHistory.db");
        QStringList reported;
        for (int round = 0; round < 6; ++round) {
            QProcess writer;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(kWriterVariable, path);
            env.insert("QUORVEL_HISTORY_ROUND", QString::number(round));
            writer.setProcessEnvironment(env);
            writer.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(writer.waitForStarted());
            // Let it finish a few jobs, then kill it at a moment of no particular choosing.
            QByteArray output;
            const auto readReports = [&] {
                output += writer.readAllStandardOutput();
                const int end = int(output.lastIndexOf('\n')) + 1;
                reported << QString::fromUtf8(output.left(end)).split('\n', Qt::SkipEmptyParts);
                output.remove(0, end);
            };
            QElapsedTimer waited;
            waited.start();
            const QString thisRound = QStringLiteral("r%1j").arg(round);
            while (reported.filter(thisRound).size() < 3) {
                QVERIFY2(waited.elapsed() < 30000, "the writer finished no job");
                writer.waitForReadyRead(100);
                readReports();
            }
            QTest::qWait(QRandomGenerator::global()->bounded(1, 25));
            writer.kill();  // SIGKILL
            QVERIFY(writer.waitForFinished());
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            readReports();
            checkOnlyWholeJobs(path, reported, round + 1);
            if (QTest::currentTestFailed()) return;
        }
    }

  private:
    void checkOnlyWholeJobs(const QString& path, const QStringList& reported, int kills) {
        PrintHistory history(path);
        QSqlQuery query(history.database());
        QVERIFY(query.exec("PRAGMA integrity_check") && query.next());
        QCOMPARE(query.value(0).toString(), QString("ok"));
        // Every job holds exactly its pages, 1 to n, each row with the texts of its own page.
        QVERIFY(
            query.exec("SELECT j.id, j.pageCount, count(w.id), min(w.page), max(w.page), "
                       "count(DISTINCT w.page) FROM PrintJob j LEFT JOIN PrintedWaybill w "
                       "ON w.job = j.id GROUP BY j.id"));
        int jobs = 0;
        while (query.next()) {
            ++jobs;
            const int pages = query.value(1).toInt();
            QCOMPARE(query.value(2).toInt(), pages);
            QCOMPARE(query.value(3).toInt(), 1);
            QCOMPARE(query.value(4).toInt(), pages);
            QCOMPARE(query.value(5).toInt(), pages);
        }
        QVERIFY(
            query.exec("SELECT w.page, j.pageCount, w.cbb33 FROM PrintedWaybill w "
                       "JOIN PrintJob j ON j.id = w.job"));
        QSet<QString> tags;
        while (query.next()) {
            const QStringList words = query.value(2).toString().split(' ');
            QCOMPARE(
                words.value(2),
                QStringLiteral("%1/%2").arg(query.value(0).toInt()).arg(query.value(1).toInt()));
            tags << words.value(1);
        }
        // Every job the writer reported is there; besides them at most one per kill, the job
        // that was committed but not yet reported when the writer died.
        for (const QString& tag : reported) QVERIFY2(tags.contains(tag), qPrintable(tag));
        QVERIFY2(tags.size() <= reported.size() + kills,
                 qPrintable(
                     QStringLiteral("%1 jobs, %2 reported").arg(tags.size()).arg(reported.size())));
        QCOMPARE(tags.size(), jobs);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kWriterVariable))
        return writeJobsUntilKilled(qEnvironmentVariable(kWriterVariable));
    TestHistoryCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_historycrash.moc"
