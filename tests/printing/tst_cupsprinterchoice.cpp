#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>
#include <optional>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "printing/engine/TReportPage.h"
#include "support/CupsPdf.h"
#include "support/MainWindowFixture.h"

namespace {
// Runs a CUPS command line tool; its standard output, or nothing when it failed.
std::optional<QString> runTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// cups-pdf queues of this test's own, side by side in the printer list; whatever is left of
// them is removed when the test ends. The shared "PDF" queue and the default stay untouched.
class TemporaryQueues {
  public:
    explicit TemporaryQueues(int count) {
        const QString stem = QStringLiteral("quorvel_choice_%1_%2_")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QDateTime::currentMSecsSinceEpoch() % 1000000);
        for (int i = 1; i <= count; ++i) {
            const QString name = stem + QString::number(i);
            if (!runTool("lpadmin", {"-p", name, "-E", "-v", "cups-pdf:/", "-m",
                                     "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"}))
                return;
            names << name;
        }
    }
    ~TemporaryQueues() {
        for (const QString& name : std::as_const(names)) remove(name);
    }
    bool remove(const QString& name) {
        if (!names.contains(name) || removed.contains(name)) return false;
        removed << name;
        return runTool("lpadmin", {"-x", name}).has_value();
    }

    QStringList names;
    QStringList removed;
};

// The jobs CUPS holds or has held for a queue.
int jobsOn(const QString& queue) {
    const std::optional<QString> listing = runTool("lpstat", {"-W", "all", "-o", queue});
    if (!listing) return 0;
    int count = 0;
    for (const QString& line : listing->split('\n'))
        if (line.startsWith(queue + "-")) ++count;
    return count;
}
}  // namespace

// The printer chosen on the main window is removed from CUPS while the program runs: "打印"
// must name it and print nothing, not hand the job to the queue that slid into its place.
class TestCupsPrinterChoice : public QObject {
    Q_OBJECT
  private slots:
    void aQueueRemovedWhileRunningGetsNoJobAndNeitherDoesItsNeighbour() {
        MainWindowFixture fx({}, {}, 120.0);
        PrinterBackend::install(nullptr);  // the real printers, not the recording ones
        if (!PrinterBackend::instance().printerNames().contains("PDF"))
            QSKIP("No CUPS printer \"PDF\" (bash scripts/start-cups.sh as root)");
        if (QStandardPaths::findExecutable("lpadmin").isEmpty()) QSKIP("lpadmin is not installed");
        TemporaryQueues queues(5);
        if (queues.names.size() != 5) QSKIP("lpadmin could not add printers (not root?)");
        const QString third = queues.names[2];
        const QString fourth = queues.names[3];

        fx.writeSettings("[龙邦快递]\r\nPrinterName=" + third + "\r\n");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbPrinterName->currentText(), third);
        QCOMPARE(form.cbbPrinterName->itemText(form.cbbPrinterName->currentIndex() + 1), fourth);
        for (WaybillField* f : form.bandFields()) f->setText(QString());
        form.field("cbb1")->setText(QStringLiteral("██"));
        const QString title =
            QStringLiteral("quorvel_choice_%1").arg(QDateTime::currentMSecsSinceEpoch());
        form.ReportPage1->setReportTitle(title);
        form.ReportPage1->setShowProgress(false);
        const QDateTime since = QDateTime::currentDateTime();

        QVERIFY(queues.remove(third));
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(fx.boxes.texts(), QStringList{"打印机“" + third + "”已不存在，请重新选择。"});
        QCOMPARE(form.cbbPrinterName->findText(third), -1);
        QCOMPARE(form.cbbPrinterName->currentIndex(), -1);
        for (const QString& queue : std::as_const(queues.names))
            QVERIFY2(jobsOn(queue) == 0, qPrintable(queue));

        // The printer chosen anew gets the waybill, and only it.
        chooseItem(form.cbbPrinterName, fourth);
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(fx.boxes.shown.size(), 1);
        const QString pdf = CupsPdf::waitForPdf(title, since);
        QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF for the job");
        const QStringList pdfs = CupsPdf::pdfsFor(title, since);
        for (const QString& file : pdfs) QFile::remove(file);
        QCOMPARE(pdfs.size(), 1);
        QCOMPARE(jobsOn(fourth), 1);
        for (const QString& queue : std::as_const(queues.names))
            if (queue != fourth) QVERIFY2(jobsOn(queue) == 0, qPrintable(queue));
    }
};

QTEST_MAIN(TestCupsPrinterChoice)
#include "tst_cupsprinterchoice.moc"
