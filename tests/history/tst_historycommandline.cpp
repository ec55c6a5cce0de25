#include <QtTest>

#include "batch/ProgramRun.h"
#include "history/PrintHistory.h"

// The program run from a script records what it printed in the history beside it, and says
// so on stderr, without failing the print, when it cannot.
class TestHistoryCommandLine : public QObject {
    Q_OBJECT

    static QByteArray orders() {
        return QStringLiteral(
                   "收货人,电话,地址\n张三,13800138000,北京市海淀区\n李四,0755-26001234,"
                   "\n王五,13912345678,上海市浦东新区\n")
            .toUtf8();
    }

  private slots:
    void aBatchFromTheCommandLineIsOneJobOfThePagesPrinted() {
        ProgramFolder program;
        QVERIFY2(program.isReady(), "the built program could not be copied");
        program.writeFile("Quorvel.ini", "[龙邦快递]\r\n");
        program.writeFile("orders.csv", orders());
        const QString pdf = program.file("out.pdf");
        const ProgramFolder::Run run = program.run(
            {"--batch", program.file("orders.csv"), "--courier", "龙邦快递", "--pdf", pdf});
        // The row without an address is skipped; the two others print and are recorded.
        QCOMPARE(run.exitCode, 1);
        QVERIFY(QFile::exists(pdf));
        const QList<HistoryEntry> entries =
            PrintHistory(QDir(program.dataFolder()).filePath("QuorvelHistory.db")).entries({}, 10);
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].job, entries[1].job);
        QCOMPARE(entries[0].jobPages, 2);
        QCOMPARE(entries[1].page, 1);
        QCOMPARE(
            entries[1].texts,
            (WaybillTexts{{"cbb11", "张三"}, {"cbb44", "13800138000"}, {"cbb33", "北京市海淀区"}}));
        QCOMPARE(entries[0].texts.value("cbb11"), QString("王五"));
        QCOMPARE(entries[0].courier, QString("龙邦快递"));
        QCOMPARE(entries[0].printer, pdf);
        QCOMPARE(entries[0].origin, QString("命令行"));
        QVERIFY(!run.err.contains("打印记录"));
    }

    void aHistoryThatCannotBeWrittenIsSaidButThePrintStands() {
        ProgramFolder program;
        QVERIFY(program.isReady());
        program.writeFile("Quorvel.ini", "[龙邦快递]\r\n");
        program.writeFile("orders.csv", QStringLiteral("收货人,地址\n张三,北京\n").toUtf8());
        QVERIFY(QDir().mkpath(QDir(program.dataFolder()).filePath("QuorvelHistory.db")));
        const QString pdf = program.file("out.pdf");
        const ProgramFolder::Run run = program.run(
            {"--batch", program.file("orders.csv"), "--courier", "龙邦快递", "--pdf", pdf});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(run.errLines().size(), 1);
        QVERIFY2(run.errLines()[0].startsWith("快递单已打印，但未能记入打印记录："),
                 qPrintable(run.err));
        QVERIFY2(run.errLines()[0].contains("QuorvelHistory.db"), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestHistoryCommandLine)
#include "tst_historycommandline.moc"
