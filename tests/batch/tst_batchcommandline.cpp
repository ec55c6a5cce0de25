#include <QStandardPaths>
#include <QtTest>

#include "../addressbook/AddressBookTestData.h"
#include "batch/ListFiles.h"
#include "batch/ProgramRun.h"
#include "batch/WaybillPages.h"
#include "batch/Workbooks.h"
#include "support/CupsPdf.h"
#include "support/MainWindowFixture.h"

// The program run as a script runs it: `Quorvel --batch FILE --courier NAME …`, its exit
// status, its messages and what it printed.
class TestBatchCommandLine : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFolder> m_program;

    // cbb11 moved, so that the test knows where its text must land: band pixel (604, 304) at
    // 120 pixels per inch, 10 + 604 × 254 ÷ 120 = 1288.5 and 10 + 304 × 254 ÷ 120 = 653.5
    // (0.1 mm) from the paper's left and top edges.
    static QByteArray settings() {
        return QStringLiteral(
                   "[龙邦快递]\r\nPrinterName=PDF\r\ncbb11Left=600\r\ncbb11TOP=300\r\n"
                   "[BatchColumns]\r\n备注=-\r\n")
            .toUtf8();
    }

    static QString pageText(const QString& pdf, int page) {
        QProcess p;
        p.start("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    ProgramFolder::Run batch(const QString& file, const QStringList& more = {}) {
        return m_program->run(QStringList{"--batch", m_program->file(file)} + more);
    }

  private slots:
    void initTestCase() {
        m_program = std::make_unique<ProgramFolder>();
        QVERIFY2(m_program->isReady(), "the built program could not be copied");
        m_program->writeFile("Quorvel.ini", settings());
        testdata::makeBook(m_program->dataFolder(), {{"杭州小店", "0571-88000000",
                                                      "杭州市西湖区文三路1号", "李寄件", "杭州"}});
    }
    void cleanupTestCase() {
        // Nothing the program did may have changed the user's settings.
        QCOMPARE(m_program->readFile("Quorvel.ini"), settings());
        m_program.reset();
    }

    void helpDescribesTheCommand() {
        const ProgramFolder::Run help = m_program->run({"--help"});
        QCOMPARE(help.exitCode, 0);
        for (const char* word : {"--batch", "--courier", "--printer", "--pdf", "--sender",
                                 "--encoding", "--no-header", "offscreen"})
            QVERIFY2(help.out.contains(QLatin1String(word)), word);
    }

    void refusalsExitWithTwoAndOneLineNamingTheProblem_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::addRow("missing file")
            << QStringList{"--batch", "absent.csv", "--courier", "龙邦快递"} << "absent.csv";
        QTest::addRow("unknown courier")
            << QStringList{"--batch", "orders.csv", "--courier", "飞鸽快递"} << "飞鸽快递";
        QTest::addRow("unknown printer")
            << QStringList{"--batch", "orders.csv", "--courier", "龙邦快递", "--printer", "Gone"}
            << "Gone";
        QTest::addRow("printer and pdf")
            << QStringList{"--batch",   "orders.csv", "--courier", "龙邦快递",
                           "--printer", "PDF",        "--pdf",     "x.pdf"}
            << "--pdf";
        QTest::addRow("no courier") << QStringList{"--batch", "orders.csv"} << "--courier";
        QTest::addRow("bad encoding")
            << QStringList{"--batch", "orders.csv", "--courier", "龙邦快递", "--encoding", "latin1"}
            << "latin1";
        QTest::addRow("unknown sender")
            << QStringList{"--batch",  "orders.csv", "--courier", "龙邦快递",
                           "--sender", "无此人",     "--pdf",     "x.pdf"}
            << "无此人";
        QTest::addRow("pdf folder missing")
            << QStringList{"--batch", "orders.csv", "--courier", "龙邦快递", "--pdf", "no/x.pdf"}
            << "no/x.pdf";
        QTest::addRow("unknown option")
            << QStringList{"--batch", "orders.csv", "--colour"} << "colour";
    }

    void refusalsExitWithTwoAndOneLineNamingTheProblem() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        m_program->writeFile("orders.csv", QStringLiteral("收货人,地址\n张三,北京\n").toUtf8());
        const ProgramFolder::Run run = m_program->run(arguments);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.errLines().size(), 1);
        QVERIFY2(run.err.contains(named), qPrintable(run.err));
        QVERIFY(!QFile::exists(m_program->file("x.pdf")));
    }

    // A row without an address is skipped with its number and reason; the others print.
    void aRowWithoutAnAddressIsReportedAndTheOthersPrint() {
        m_program->writeFile(
            "skips.csv",
            QStringLiteral("收货人,电话,地址\n张三,1,北京\n李四,2,\n王五,3,上海\n").toUtf8());
        const ProgramFolder::Run run =
            batch("skips.csv", {"--courier", "龙邦快递", "--pdf", m_program->file("skips.pdf")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.errLines(), QStringList{"第 3 行：缺少收货地址，未打印。"});
        QCOMPARE(CupsPdf::pageCount(m_program->file("skips.pdf")), 2);
        QVERIFY(pageText(m_program->file("skips.pdf"), 2).contains("王五"));
    }

    // An Excel workbook with the sender from the address book; a GBK list without a header,
    // its columns in the default order.
    void anExcelFileAndAGbkFilePrintEveryRow() {
        QVERIFY(workbooks::writeRows(m_program->file("orders.xlsx"),
                                     {{"收件人", "手机", "备注", "详细地址"},
                                      {"张三", "13800138000", "易碎", "北京市海淀区"},
                                      {"李四", "", "", "上海市浦东新区"}}));
        const QString xlsxPdf = m_program->file("xlsx.pdf");
        const ProgramFolder::Run excel =
            batch("orders.xlsx", {"--courier", "龙邦快递", "--sender", "李寄件", "--pdf", xlsxPdf});
        QCOMPARE(excel.exitCode, 0);
        QVERIFY2(excel.errLines().isEmpty(), qPrintable(excel.err));
        QCOMPARE(CupsPdf::pageCount(xlsxPdf), 2);
        const QString first = pageText(xlsxPdf, 1);
        for (const char* text : {"张三", "13800138000", "北京市海淀区", "李寄件", "杭州小店"})
            QVERIFY2(first.contains(QString::fromUtf8(text)), text);
        QVERIFY(!first.contains(QStringLiteral("易碎")));  // remembered as printed nowhere

        m_program->writeFile(
            "gbk.csv", listfiles::gbk(QStringLiteral("王五,广州,广州市天河区,020-1234,某公司\n"
                                                     "赵六,深圳,深圳市南山区,0755-1,\n")));
        const QString gbkPdf = m_program->file("gbk.pdf");
        const ProgramFolder::Run gbkRun =
            batch("gbk.csv", {"--courier", "龙邦快递", "--no-header", "--pdf", gbkPdf});
        QCOMPARE(gbkRun.exitCode, 0);
        QCOMPARE(CupsPdf::pageCount(gbkPdf), 2);
        for (const char* text : {"王五", "广州市天河区", "020-1234", "某公司"})
            QVERIFY2(pageText(gbkPdf, 1).contains(QString::fromUtf8(text)), text);
        QVERIFY(pageText(gbkPdf, 2).contains(QStringLiteral("深圳市南山区")));
    }

    // The PDF is the paper: 230 × 128 mm pages, the text where the field's place puts it
    // from the paper's edges. Run with no display and no platform chosen.
    void thePdfHasAPageOfThePapersSizePerRow() {
        m_program->writeFile("blocks.csv",
                             QStringLiteral("收货人,地址\n██,北京\n██,上海\n██,广州\n").toUtf8());
        const QString pdf = m_program->file("blocks.pdf");
        const ProgramFolder::Run run = m_program->run(
            {"--batch", m_program->file("blocks.csv"), "--courier", "龙邦快递", "--pdf", pdf},
            {{"QT_QPA_PLATFORM", ""}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(QStringLiteral("已打印 3 张")));
        QCOMPARE(CupsPdf::pageCount(pdf), 3);
        // "宋体" prints in the face that stands for it, as on the main window.
        QProcess fonts;
        fonts.start("pdffonts", {pdf});
        fonts.waitForFinished();
        const QString embedded = QString::fromUtf8(fonts.readAllStandardOutput());
        QVERIFY2(embedded.contains("UMing"), qPrintable(embedded));
        for (int page : {1, 3}) {
            const QImage image = CupsPdf::renderPage(pdf, page);
            QVERIFY(!image.isNull());
            QVERIFY(std::abs(image.width() - 2300) <= 1 && std::abs(image.height() - 1280) <= 1);
            const QRect ink = CupsPdf::inkBox(image, QRect(1200, 600, 300, 100));
            const QString got = QStringLiteral("ink from %1, %2").arg(ink.left()).arg(ink.top());
            QVERIFY2(std::abs(ink.left() - 1288.5) <= 5, qPrintable(got));
            QVERIFY2(ink.top() >= 653.5 - 2 && ink.top() <= 653.5 + 25, qPrintable(got));
        }
    }
};

QTEST_MAIN(TestBatchCommandLine)
#include "tst_batchcommandline.moc"
