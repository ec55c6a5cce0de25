#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>
#include <functional>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "printing/engine/TReportPage.h"
#include "support/CupsPdf.h"
#include "support/MainWindowFixture.h"

namespace {
bool cupsReady() {
    PrinterBackend::install(nullptr);  // the real printers
    return PrinterBackend::instance().printerNames().contains("PDF") &&
           !QStandardPaths::findExecutable("pdftoppm").isEmpty();
}

// Starts the main window on a screen of `screenDpi` (0: the platform's own) with `settings`,
// lets `started` look at it, prints cbb1 alone with a full block on the cups-pdf queue and
// measures the ink (an empty box when a message was shown or no PDF came).
CupsPdf::Ink printBlockOnCups(double screenDpi, const QString& settings,
                              const std::function<void(TEXPDPrintForm&)>& started = {}) {
    MainWindowFixture fx({}, {}, screenDpi);
    PrinterBackend::install(nullptr);
    fx.writeSettings(settings);
    TEXPDPrintForm& form = fx.start();
    if (started) started(form);
    for (WaybillField* f : form.bandFields()) f->setText(QString());
    form.field("cbb1")->setText(QStringLiteral("██"));
    const QString title =
        QStringLiteral("quorvel_waybill_%1").arg(QDateTime::currentMSecsSinceEpoch());
    form.ReportPage1->setReportTitle(title);
    form.ReportPage1->setShowProgress(false);
    const QDateTime since = QDateTime::currentDateTime();
    QTest::mouseClick(form.btnPrint, Qt::LeftButton);
    // A message means the print did not go as it should: no ink is measured then.
    if (!fx.boxes.shown.isEmpty()) {
        qWarning() << fx.boxes.texts();
        return {};
    }
    const QString pdf = CupsPdf::waitForPdf(title, since);
    if (pdf.isEmpty()) return {};
    const CupsPdf::Ink ink = CupsPdf::measureInk(pdf);
    QFile::remove(pdf);
    return ink;
}

const QString kCalibratedAt120 =
    QStringLiteral("[龙邦快递]\r\nPrinterName=PDF\r\ncbb1Left=300\r\ncbb1TOP=200\r\n");

QString describe(const CupsPdf::Ink& a, const CupsPdf::Ink& b) {
    return QStringLiteral("ink at %1, %2 against %3, %4 (0.1 mm)")
        .arg(a.box.left())
        .arg(a.box.top())
        .arg(b.box.left())
        .arg(b.box.top());
}
}  // namespace

// The whole path a field's stored place takes to the paper, through the real printing system:
// the settings file places cbb1, "打印" prints it on the cups-pdf queue, and the ink of its
// text must start where the field's place says, measured from the paper's edges.
class TestCupsWaybill : public QObject {
    Q_OBJECT
  private slots:
    // A template calibrated at 120 dpi prints at the same place, to the 0.1 mm, when the program
    // runs on a screen of another resolution (or, with no row chosen, on the platform's own
    // screen, which is how it is run under QT_SCALE_FACTOR=2).
    void aCalibrationPrintsAtTheSamePlaceOnEveryScreen_data() {
        QTest::addColumn<double>("screenDpi");
        QTest::addRow("96") << 96.0;
        QTest::addRow("144") << 144.0;
        QTest::addRow("platform") << 0.0;
    }

    void aCalibrationPrintsAtTheSamePlaceOnEveryScreen() {
        QFETCH(double, screenDpi);
        if (!cupsReady()) QSKIP("No CUPS printer \"PDF\" or no pdftoppm");
        const CupsPdf::Ink at120 = printBlockOnCups(120.0, kCalibratedAt120);
        const CupsPdf::Ink other = printBlockOnCups(screenDpi, kCalibratedAt120);
        QVERIFY2(!at120.box.isEmpty() && !other.box.isEmpty(), "no ink on a page");
        const QString got = describe(other, at120);
        qInfo().noquote() << "screen" << screenDpi << got;
        QVERIFY2(std::abs(other.box.left() - at120.box.left()) <= 1, qPrintable(got));
        QVERIFY2(std::abs(other.box.top() - at120.box.top()) <= 1, qPrintable(got));
    }

    // The print offsets move the ink by exactly the set amount.
    void printOffsetsMoveTheInkByExactlyTheirAmount() {
        if (!cupsReady()) QSKIP("No CUPS printer \"PDF\" or no pdftoppm");
        const CupsPdf::Ink still = printBlockOnCups(96.0, kCalibratedAt120);
        const CupsPdf::Ink moved = printBlockOnCups(
            96.0, kCalibratedAt120 + QStringLiteral("PrintOffsetX=57\r\nPrintOffsetY=-23\r\n"));
        QVERIFY2(!still.box.isEmpty() && !moved.box.isEmpty(), "no ink on a page");
        const QString got = describe(moved, still);
        qInfo().noquote() << "offset 57, -23:" << got;
        QVERIFY2(std::abs(moved.box.left() - still.box.left() - 57) <= 1, qPrintable(got));
        QVERIFY2(std::abs(moved.box.top() - still.box.top() + 23) <= 1, qPrintable(got));
        // The same block, give or take the raster's one pixel.
        QVERIFY2(std::abs(moved.box.width() - still.box.width()) <= 1, qPrintable(got));
        QVERIFY2(std::abs(moved.box.height() - still.box.height()) <= 1, qPrintable(got));
    }

    void storedFieldPlaceLandsOnThePaper() {
        if (!cupsReady()) QSKIP("No CUPS printer \"PDF\" (bash scripts/start-cups.sh as root)");
        const CupsPdf::Ink ink =
            printBlockOnCups(120.0, kCalibratedAt120, [](TEXPDPrintForm& form) {
                QCOMPARE(form.cbbPrinterName->currentText(), QString("PDF"));
                QCOMPARE(form.field("cbb1")->pos(), QPoint(300, 200));
            });
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
