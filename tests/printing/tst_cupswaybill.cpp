#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>
#include <functional>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "printing/PreviewDriver.h"
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

QString describeShift(const CupsPdf::Ink& a, const CupsPdf::Ink& b) {
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

    static bool skipWithoutQueue() {
        PrinterBackend::install(nullptr);  // the real printers, not the recording ones
        return PrinterBackend::instance().printerNames().contains("PDF") &&
               !QStandardPaths::findExecutable("pdftoppm").isEmpty();
    }

    static QString newTitle(const char* what) {
        return QStringLiteral("quorvel_%1_%2").arg(what).arg(QDateTime::currentMSecsSinceEpoch());
    }

    // The first page of the PDF cups-pdf made for the job `title`, at 0.1 mm per pixel.
    static QImage printedPage(const QString& title, const QDateTime& since) {
        const QString pdf = CupsPdf::waitForPdf(title, since);
        if (pdf.isEmpty()) return {};
        const QImage page = CupsPdf::renderPage(pdf, 1);
        QFile::remove(pdf);
        return page;
    }

    // Presses "打印" on the main window; the printed page.
    static QImage printDirectly(TEXPDPrintForm& form) {
        const QString title = newTitle("direct");
        form.ReportPage1->setReportTitle(title);
        const QDateTime since = QDateTime::currentDateTime();
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        return printedPage(title, since);
    }

    // Presses "预览" and then "打印" in the preview window; the printed page.
    static QImage printFromThePreview(TEXPDPrintForm& form) {
        const QString title = newTitle("preview");
        form.ReportPage1->setReportTitle(title);
        const QDateTime since = QDateTime::currentDateTime();
        const bool ran = runInPreview(form, [](TEXPDPreview& preview) {
            QTest::mouseClick(preview.spprint, Qt::LeftButton);
        });
        return ran ? printedPage(title, since) : QImage();
    }

    // Where a field's print item lies on the printed page (0.1 mm): 4 pixels right of and
    // below the field, as wide as the field and three field-heights high (the most a wrapped
    // text takes), on a band 1 mm from the paper's edges at 120 pixels per inch.
    static QRect itemArea(const WaybillField* field, const QSize& printedPage) {
        const QSizeF shift = CupsPdf::centringShift(QSizeF(230, 128), printedPage);
        const double mm = 254.0 / 120;
        return QRectF(10 + (field->x() + 4) * mm - shift.width(),
                      10 + (field->y() + 4) * mm - shift.height(), field->width() * mm,
                      3 * field->height() * mm)
            .toAlignedRect();
    }

    static QString describe(const QRect& r) {
        return QStringLiteral("(%1, %2)-(%3, %4)")
            .arg(r.left())
            .arg(r.top())
            .arg(r.right())
            .arg(r.bottom());
    }

    // The pixels within `area` inked on one page and not on the other.
    static int differingInk(const QImage& a, const QImage& b, const QRect& area) {
        int differing = 0;
        const QRect r = area.intersected(a.rect()).intersected(b.rect());
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const uchar* rowA = a.constScanLine(y);
            const uchar* rowB = b.constScanLine(y);
            for (int x = r.left(); x <= r.right(); ++x)
                differing += (rowA[x] < 128) != (rowB[x] < 128);
        }
        return differing;
    }

    static bool within(const QRect& a, const QRect& b, int pixels) {
        return std::abs(a.left() - b.left()) <= pixels && std::abs(a.top() - b.top()) <= pixels &&
               std::abs(a.right() - b.right()) <= pixels &&
               std::abs(a.bottom() - b.bottom()) <= pixels;
    }

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
        const QString got = describeShift(other, at120);
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
        const QString got = describeShift(moved, still);
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

    // The sender's telephone field is hidden but holds a long number: its print item is an
    // empty box three lines high lying over the third line of the address above it. The
    // address must print the same as when that box is nothing.
    void aHiddenFieldsBoxLeavesTheAddressAboveWhole() {
        MainWindowFixture fx({}, {}, 120.0);
        if (!skipWithoutQueue()) QSKIP("No CUPS printer \"PDF\" or no pdftoppm");
        // The telephone field a little higher than designed, so that its box surely reaches
        // into the address's third line whatever the font's line height.
        fx.writeSettings(
            "[龙邦快递]\r\nPrinterName=PDF\r\nFHTelephone=0\r\ncbb4Left=184\r\ncbb4TOP=214\r\n");
        TEXPDPrintForm& form = fx.start();
        form.ReportPage1->setShowProgress(false);
        WaybillField* address = form.field("cbb3");
        WaybillField* telephone = form.field("cbb4");
        QVERIFY(telephone->isHidden());
        QVERIFY(address->geometry()
                    .adjusted(4, 4, 4, 2 * address->height() + 4)
                    .intersects(telephone->geometry().translated(4, 4)));
        for (WaybillField* f : form.bandFields()) f->setText(QString());
        address->setText(
            QStringLiteral("北京市海淀区中关村大街二十七号院三号楼五单元八层八零二室请交张先生"));

        telephone->setText(QStringLiteral("13800138000 转 8888 分机 北京海淀张先生收"));
        const QImage covered = printDirectly(form);
        telephone->setText(QString());
        const QImage free = printDirectly(form);
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        QVERIFY2(!covered.isNull() && !free.isNull(), "cups-pdf wrote no PDF for a job");

        const QRect area = itemArea(address, free.size());
        const QRect overlap = area.intersected(itemArea(telephone, free.size()));
        const QRect inkFree = CupsPdf::inkBox(free, overlap);
        const int lost = differingInk(covered, free, area);
        const QString got = QStringLiteral(
                                "address ink under the telephone's box %1 without it, %2 with it; "
                                "%3 pixels of the address differ")
                                .arg(describe(inkFree), describe(CupsPdf::inkBox(covered, overlap)))
                                .arg(lost);
        qInfo().noquote() << got;
        // The third line reaches into the telephone's box, and not a pixel of it is lost.
        QVERIFY2(!inkFree.isEmpty(), qPrintable(got));
        QVERIFY2(lost == 0, qPrintable(got));
    }

    // "打印" on the main window and "打印" in the preview put every field's text in the same
    // place on the paper, the wrapped addresses' third lines included.
    void thePreviewPrintsWhatTheMainWindowPrints() {
        MainWindowFixture fx({}, {}, 120.0);
        if (!skipWithoutQueue()) QSKIP("No CUPS printer \"PDF\" or no pdftoppm");
        fx.writeSettings("[龙邦快递]\r\nPrinterName=PDF\r\n");
        TEXPDPrintForm& form = fx.start();
        form.ReportPage1->setShowProgress(false);
        const QList<std::pair<const char*, const char*>> texts{
            {"cbb1", "张三"},
            {"cbb2", "北京"},
            {"cbb3", "北京市海淀区中关村大街二十七号院三号楼五单元八层八零二室请交张先生"},
            {"cbb4", "13800138000"},
            {"cbb5", "北京某某科技有限公司"},
            {"cbb11", "李四"},
            {"cbb22", "上海"},
            {"cbb33", "上海市浦东新区世纪大道一百号环球金融中心七十层七零一室请交李先生"},
            {"cbb44", "13900139000"},
            {"cbb55", "上海某某贸易有限公司"}};
        QList<WaybillField*> fields;
        for (const auto& [name, text] : texts) {
            fields << form.field(name);
            fields.last()->setText(QString::fromUtf8(text));
        }
        const QImage direct = printDirectly(form);
        const QImage fromPreview = printFromThePreview(form);
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        QVERIFY2(!direct.isNull() && !fromPreview.isNull(), "cups-pdf wrote no PDF for a job");
        QCOMPARE(fromPreview.size(), direct.size());
        // Every glyph in the same place: not one pixel (0.1 mm) of ink differs.
        const int differing = differingInk(direct, fromPreview, direct.rect());
        qInfo() << "pixels inked in one print and not in the other:" << differing;
        QCOMPARE(differing, 0);
        for (WaybillField* field : fields) {
            const QRect area = itemArea(field, direct.size());
            const QRect a = CupsPdf::inkBox(direct, area);
            const QRect b = CupsPdf::inkBox(fromPreview, area);
            const QString got = QStringLiteral("%1: ink %2 printed directly, %3 from the preview")
                                    .arg(field->objectName(), describe(a), describe(b));
            qInfo().noquote() << got;
            QVERIFY2(!a.isEmpty(), qPrintable(got));
            QVERIFY2(within(a, b, 1), qPrintable(got));
        }
    }
};

QTEST_MAIN(TestCupsWaybill)
#include "tst_cupswaybill.moc"
