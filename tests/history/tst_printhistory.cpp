#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "history/HistoryCsv.h"
#include "history/HistoryRecording.h"
#include "history/HistoryTableModel.h"
#include "history/PrintHistory.h"
#include "platform/AppError.h"
#include "support/TestSupport.h"

namespace {

WaybillTexts recipient(const QString& name, const QString& phone, const QString& address) {
    return {{"cbb11", name}, {"cbb44", phone}, {"cbb33", address}, {"cbb1", "王发货"}};
}

PrintedJob job(const QDateTime& at, QList<WaybillTexts> waybills,
               const QString& courier = "顺丰快递") {
    return {at, courier, "Office Laser", "打印", std::move(waybills)};
}

QStringList names(const QList<HistoryEntry>& entries) {
    QStringList result;
    for (const HistoryEntry& e : entries) result << e.texts.value("cbb11");
    return result;
}

QList<HistoryEntry> find(const PrintHistory& history, const QString& text, QDate from = {},
                         QDate to = {}) {
    return history.entries({text, from, to}, 1000);
}

// Noon, local time, on a day in early 2026.
QDateTime localNoon(int day) {
    return QDateTime(QDate(2026, 3, day), QTime(12, 0)).toUTC();
}

}  // namespace

class TestPrintHistory : public QObject {
    Q_OBJECT
  private slots:
    void aJobIsWrittenWholeWithItsPagesTimeAndPrinter() {
        QTemporaryDir dir;
        PrintHistory history(dir.filePath("data/QuorvelHistory.db"));
        QVERIFY(QFile::exists(dir.filePath("data/QuorvelHistory.db")));
        const QDateTime at = QDateTime(QDate(2026, 3, 1), QTime(8, 30, 15, 250), Qt::UTC);
        const qint64 id = history.recordJob(job(
            at, {recipient("甲", "1", "a"), recipient("乙", "2", "b"), recipient("丙", "3", "c")}));
        QVERIFY(id > 0);
        const QList<HistoryEntry> all = history.entries({}, 10);
        QCOMPARE(all.size(), 3);
        // Same time: the last page of the job is the newest.
        QCOMPARE(names(all), (QStringList{"丙", "乙", "甲"}));
        for (const HistoryEntry& e : all) {
            QCOMPARE(e.job, id);
            QCOMPARE(e.jobPages, 3);
            QCOMPARE(e.printedAt, at);
            QCOMPARE(e.courier, QString("顺丰快递"));
            QCOMPARE(e.printer, QString("Office Laser"));
            QCOMPARE(e.origin, QString("打印"));
        }
        QCOMPARE(all[2].page, 1);
        QCOMPARE(all[2].texts, recipient("甲", "1", "a"));
        // Nothing printed, nothing recorded.
        QCOMPARE(history.recordJob(job(at, {})), 0);
        QCOMPARE(history.count({}), 3);
        // A second connection (another window, another copy of the program) sees the job.
        PrintHistory again(history.path());
        QCOMPARE(again.count({}), 3);
    }

    void aJobThatFailsHalfwayLeavesNothing() {
        QTemporaryDir dir;
        PrintHistory history(dir.filePath("h.db"));
        history.recordJob(job(localNoon(1), {recipient("早", "1", "a")}));
        // The disk refuses the third waybill of the next job.
        QSqlQuery(history.database())
            .exec(
                "CREATE TRIGGER refuse BEFORE INSERT ON PrintedWaybill WHEN NEW.page = 3 "
                "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        QList<WaybillTexts> five;
        for (int i = 0; i < 5; ++i) five << recipient(QString::number(i), "", "");
        try {
            history.recordJob(job(localNoon(2), five));
            QFAIL("a failed write was reported as written");
        } catch (const AppError& e) {
            QVERIFY2(e.text().contains("disk full"), qPrintable(e.text()));
        }
        QCOMPARE(history.count({}), 1);
        QSqlQuery jobs(history.database());
        QVERIFY(jobs.exec("SELECT count(*) FROM PrintJob") && jobs.next());
        QCOMPARE(jobs.value(0).toInt(), 1);
    }

    void refusesAFileThatIsNotAHistory() {
        QTemporaryDir dir;
        QFile text(dir.filePath("notes.db"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray(4096, 'x'));
        text.close();
        QVERIFY_THROWS_EXCEPTION(AppError, PrintHistory(dir.filePath("notes.db")));
        // Another program's SQLite file is not taken over either.
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other");
            db.setDatabaseName(dir.filePath("other.db"));
            QVERIFY(db.open());
            QSqlQuery(db).exec("CREATE TABLE t (x)");
            db.close();
        }
        QSqlDatabase::removeDatabase("other");
        QVERIFY_THROWS_EXCEPTION(AppError, PrintHistory(dir.filePath("other.db")));
        QCOMPARE(QFileInfo(dir.filePath("notes.db")).size(), 4096);
    }

    void searchFindsNamesPhoneFragmentsAddressesAndDays() {
        QTemporaryDir dir;
        PrintHistory history(dir.filePath("h.db"));
        history.recordJob(job(localNoon(1), {recipient("张三", "13800138000", "北京市海淀区")}));
        history.recordJob(job(localNoon(2),
                              {recipient("李四", "0755-26001234", "深圳市南山区"),
                               recipient("王五", "13912345678", "上海市浦东新区")},
                              "龙邦快递"));
        history.recordJob(job(localNoon(5), {recipient("Smith_1", "021-5555", "100% 路")}));

        QCOMPARE(names(find(history, "李四")), QStringList{"李四"});
        QCOMPARE(names(find(history, "0013")), QStringList{"张三"});
        QCOMPARE(names(find(history, "26001")), QStringList{"李四"});
        QCOMPARE(names(find(history, "浦东")), QStringList{"王五"});
        // Every word must match, each anywhere; the courier is searched too.
        QCOMPARE(names(find(history, "龙邦 南山")), QStringList{"李四"});
        QCOMPARE(names(find(history, "  王发货  北京 ")), QStringList{"张三"});
        QCOMPARE(names(find(history, "smith")), QStringList{"Smith_1"});
        // LIKE's wildcards are plain characters in a search.
        QCOMPARE(names(find(history, "100%")), QStringList{"Smith_1"});
        QCOMPARE(names(find(history, "h_1")), QStringList{"Smith_1"});
        QVERIFY(find(history, "S%1").isEmpty());
        QVERIFY(find(history, "'; DROP TABLE PrintJob; --").isEmpty());
        // Local days, both ends included.
        QCOMPARE(names(find(history, "", QDate(2026, 3, 2), QDate(2026, 3, 2))),
                 (QStringList{"王五", "李四"}));
        QCOMPARE(names(find(history, "", QDate(2026, 3, 2), {})),
                 (QStringList{"Smith_1", "王五", "李四"}));
        QCOMPARE(names(find(history, "", {}, QDate(2026, 3, 1))), QStringList{"张三"});
        QCOMPARE(names(find(history, "1", QDate(2026, 3, 3), QDate(2026, 3, 4))), QStringList{});
        QCOMPARE(history.count({"1", QDate(2026, 3, 2), QDate(2026, 3, 5)}), 3);
    }

    void theModelPagesThroughTheWholeHistoryNewestFirst() {
        QTemporaryDir dir;
        PrintHistory history(dir.filePath("h.db"));
        const int total = 2 * HistoryTableModel::kPageRows + 17;
        // Several jobs share a time: the order must still be total and no row read twice.
        for (int j = 0; j < total / 7 + 1; ++j) {
            QList<WaybillTexts> waybills;
            for (int p = 0; p < 7 && j * 7 + p < total; ++p)
                waybills << recipient(QString::number(j * 7 + p), "", "");
            history.recordJob(job(localNoon(1 + j % 3).addSecs(j / 3), waybills));
        }
        HistoryTableModel model(history);
        model.setFilter({});
        QCOMPARE(model.matchCount(), total);
        QCOMPARE(model.rowCount(), HistoryTableModel::kPageRows);
        while (model.canFetchMore()) model.fetchMore();
        QCOMPARE(model.rowCount(), total);
        QSet<QString> seen;
        for (int row = 0; row < total; ++row) {
            seen << model.entry(row).texts.value("cbb11");
            if (row > 0) {
                const HistoryEntry& newer = model.entry(row - 1);
                const HistoryEntry& older = model.entry(row);
                QVERIFY(newer.printedAt > older.printedAt ||
                        (newer.printedAt == older.printedAt && newer.id > older.id));
            }
        }
        QCOMPARE(seen.size(), total);
        QCOMPARE(model.data(model.index(0, 3)).toString(), model.entry(0).texts.value("cbb11"));
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QString("收货人"));
        model.setFilter({"9", {}, {}});
        QVERIFY(model.matchCount() > 0 && model.matchCount() < total);
    }

    void printedTextsLeaveHiddenFieldsOut() {
        WaybillTemplate layout = WaybillTemplate::designed();
        layout.field("cbb3")->visible = false;
        const WaybillTexts texts{{"cbb1", "甲"}, {"cbb3", "隐藏的地址"}, {"copyOfCbb1", "x"}};
        QCOMPARE(printedTexts(layout, texts), (WaybillTexts{{"cbb1", "甲"}}));
    }

    void csvKeepsEveryTextInItsCellAndOpensAsText() {
        const QByteArray csv =
            csvDocument({"收货人", "地址"}, {{"张\"三\"", "北京,海淀\r\n二楼"},
                                             {"=HYPERLINK(\"x\")", "+86 138-0013-8000"},
                                             {"-1+cmd|' /C calc'!A0", "@SUM(A1)"},
                                             {"-", ""}});
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        const QString text = QString::fromUtf8(csv.mid(3));
        QCOMPARE(text.split("\r\n"),
                 (QStringList{"\"收货人\",\"地址\"", "\"张\"\"三\"\"\",\"北京,海淀", "二楼\"",
                              "\"'=HYPERLINK(\"\"x\"\")\",\"+86 138-0013-8000\"",
                              "\"'-1+cmd|' /C calc'!A0\",\"'@SUM(A1)\"", "\"-\",\"\"", ""}));
    }

    void recordingReportsWhyInsteadOfRaising() {
        TestFolders folders;
        // The data folder is a file: nothing can be written there.
        QDir(folders.dataFolder()).removeRecursively();
        QFile blocker(folders.dataFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString why = recordJob(job(localNoon(1), {recipient("甲", "1", "a")}));
        QVERIFY(!why.isNull());
        QVERIFY2(why.contains("QuorvelHistory.db"), qPrintable(why));
        QDir().remove(folders.dataFolder());
        QDir().mkpath(folders.dataFolder());
        QVERIFY(recordJob(job(localNoon(1), {recipient("甲", "1", "a")})).isNull());
        QCOMPARE(PrintHistory(PrintHistory::defaultFilePath()).count({}), 1);
    }
};

QTEST_GUILESS_MAIN(TestPrintHistory)
#include "tst_printhistory.moc"
