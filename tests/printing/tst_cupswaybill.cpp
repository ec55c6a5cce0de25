#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "printing/engine/TReportPage.h"
#include "support/CupsPdf.h"
#include "support/MainWindowFixture.h"

// The whole path a field's stored place takes to the paper, through the real printing system:
// the settings file places cbb1, "打印" prints it on the cups-pdf queue, and the ink of its
// text must start where the field's place says, measured from the paper's edges.
class TestCupsWaybill : public QObject {
    Q_OBJECT
  private slots:
    void storedFieldPlaceLandsOnThePaper() {
        MainWindowFixture fx({}, {}, 120.0);
        PrinterBackend::install(nullptr);  // the real printers, not the recording ones
        if (!PrinterBackend::instance().printerNames().contains("PDF"))
            QSKIP("No CUPS printer \"PDF\" (bash scripts/start-cups.sh as root)");
        if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
            QSKIP("pdftoppm is not installed");

        fx.writeSettings("[龙邦快递]\r\nPrinterName=PDF\r\ncbb1Left=300\r\ncbb1TOP=200\r\n");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbPrinterName->currentText(), QString("PDF"));
        QCOMPARE(form.field("cbb1")->pos(), QPoint(300, 200));
        for (WaybillField* f : form.bandFields()) f->setText(QString());
        form.field("cbb1")->setText(QStringLiteral("██"));
        const QString title =
            QStringLiteral("quorvel_waybill_%1").arg(QDateTime::currentMSecsSinceEpoch());
        form.ReportPage1->setReportTitle(title);
        form.ReportPage1->setShowProgress(false);
        const QDateTime since = QDateTime::currentDateTime();

        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        const QString pdf = CupsPdf::waitForPdf(title, since);
        QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF for the job");
        const CupsPdf::Ink ink = CupsPdf::measureInk(pdf);
        QFile::remove(pdf);
        QVERIFY2(!ink.box.isEmpty(), "no ink on the page");

        // The item lies at band pixel (304, 204): 10 + 304 × 254 ÷ 120 = 653.47 and
        // 10 + 204 × 254 ÷ 120 = 441.80 (0.1 mm) from the paper's left and top edges.
        const QSizeF shift = CupsPdf::centringShift(QSizeF(230, 128), ink.page);
        const double left = 10 + 304 * 254.0 / 120 - shift.width();
        const double top = 10 + 204 * 254.0 / 120 - shift.height();
        const QString got = QStringLiteral("ink from %1, %2; item at %3, %4 (0.1 mm)")
                                .arg(ink.box.left())
                                .arg(ink.box.top())
                                .arg(left, 0, 'f', 1)
                                .arg(top, 0, 'f', 1);
        qInfo().noquote() << got;
        // A full block starts at the pen position; its top lies within the first line.
        QVERIFY2(std::abs(ink.box.left() - left) <= 5, qPrintable(got));
        QVERIFY2(ink.box.top() >= top - 2 && ink.box.top() <= top + 25, qPrintable(got));
    }
};

QTEST_MAIN(TestCupsWaybill)
#include "tst_cupswaybill.moc"
