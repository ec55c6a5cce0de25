#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolButton>
#include <QtTest>

#include "app/LayoutHistory.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "app/WaybillFieldSpecs.h"
#include "dialogs/ModalDriver.h"
#include "dialogs/TCalibrationForm.h"
#include "printing/CalibrationPage.h"
#include "printing/engine/TOutputCanvas.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"
#include "support/CupsPdf.h"
#include "support/MainWindowFixture.h"

namespace {
const QString kCourier = QStringLiteral("龙邦快递");

// A form picture of 2280 × 1260 pixels (10 per millimetre of a 228 × 126 mm band), white with
// a black block over its middle 80 % each way.
QImage blockPicture() {
    QImage picture(2280, 1260, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter(&picture).fillRect(QRect(228, 126, 1824, 1008), Qt::black);
    return picture;
}

// The sheet composed on a page of 230 × 128 mm and drawn at 0.1 mm per pixel.
QImage drawnSheet(const QList<WaybillPrintItem>& items) {
    TReportPage page;
    page.setPageValue(TReportPage::Length, 128);
    page.setPageValue(TReportPage::Width, 230);
    (new TReportBand(&page))->setSizeValue(TReportBand::Length, 126);
    CalibrationPage::compose(page, blockPicture(), items);
    QImage sheet(2300, 1280, QImage::Format_Grayscale8);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    TPainterCanvas canvas(painter, TDeviceMapping::forScreen(254));
    page.composeOnto(canvas);
    return sheet;
}

bool cupsReady() {
    PrinterBackend::install(nullptr);
    return PrinterBackend::instance().printerNames().contains("PDF") &&
           !QStandardPaths::findExecutable("pdftoppm").isEmpty();
}

// Opens "打印校准" on the main window and lets `drive` work the dialog.
void inCalibrationDialog(TEXPDPrintForm& form, std::function<void(TCalibrationForm&)> drive) {
    auto driven = driveNextModal<TCalibrationForm>([&](TCalibrationForm& dialog) {
        drive(dialog);
        QTest::mouseClick(dialog.btnClose, Qt::LeftButton);
    });
    QTest::mouseClick(form.btnCalibrate, Qt::LeftButton);
    QVERIFY(*driven);
}

void pressKeys(QWidget* box, Qt::Key key, int times) {
    box->setFocus();
    for (int i = 0; i < times; ++i) QTest::keyClick(box, key);
}

// Types a number into a millimetre box as a person does: select all, type, Enter.
void typeInto(QDoubleSpinBox* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}
}  // namespace

class TestCalibrationForm : public QObject {
    Q_OBJECT

    // Prints the calibration sheet of a template whose fields are all hidden but cbb1, with the
    // block picture; returns the first page at 0.1 mm per pixel.
    static QImage printSheetOnCups(const QString& offsets) {
        MainWindowFixture fx({}, {}, 120.0);
        PrinterBackend::install(nullptr);
        blockPicture().save(fx.folders.workingFolder() + "/" + kCourier + ".jpg", "JPG", 95);
        fx.writeSettings(QStringLiteral("[%1]\r\nPrinterName=PDF\r\ncbb1Left=300\r\ncbb1TOP="
                                        "24\r\nFHOrigin=0\r\nFHAddress=0\r\nFHTelephone=0\r\n"
                                        "FHCompany=0\r\nSHName=0\r\nSHOrigin=0\r\nSHAddress=0\r\n"
                                        "SHTelephone=0\r\nSHCompany=0\r\n%2")
                             .arg(kCourier, offsets));
        TEXPDPrintForm& form = fx.start();
        const QString title =
            QStringLiteral("quorvel_sheet_%1").arg(QDateTime::currentMSecsSinceEpoch());
        form.ReportPage1->setReportTitle(title);
        form.ReportPage1->setShowProgress(false);
        const QDateTime since = QDateTime::currentDateTime();
        inCalibrationDialog(form, [](TCalibrationForm& dialog) {
            QTest::mouseClick(dialog.btnPrintSheet, Qt::LeftButton);
        });
        if (!fx.boxes.shown.isEmpty()) qWarning() << fx.boxes.texts();
        const QString pdf = CupsPdf::waitForPdf(title, since);
        if (pdf.isEmpty()) return {};
        const QImage page = CupsPdf::renderPage(pdf, 1);
        if (!qEnvironmentVariableIsEmpty("QUORVEL_KEEP_SHEET")) page.save("/tmp/calib/sheet.png");
        QFile::remove(pdf);
        return page;
    }

  private slots:
    void offsetsAreSteppedByATenthOfAMillimetreAndStored() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        const QPoint cbb1At = form.field("cbb1")->pos();
        inCalibrationDialog(form, [&](TCalibrationForm& dialog) {
            QCOMPARE(dialog.lblCourier->text(), QStringLiteral("快递单：") + kCourier);
            QCOMPARE(dialog.edtOffsetX->value(), 0.0);
            pressKeys(dialog.edtOffsetX, Qt::Key_Up, 3);
            QCOMPARE(fx.value(kCourier, "PrintOffsetX"), QString("3"));
            pressKeys(dialog.edtOffsetX, Qt::Key_Down, 5);
            QCOMPARE(fx.value(kCourier, "PrintOffsetX"), QString("-2"));
            pressKeys(dialog.edtOffsetY, Qt::Key_Down, 1);
            QCOMPARE(fx.value(kCourier, "PrintOffsetY"), QString("-1"));
            typeInto(dialog.edtOffsetY, "12.3");
            QCOMPARE(fx.value(kCourier, "PrintOffsetY"), QString("123"));
            if (!qEnvironmentVariableIsEmpty("QUORVEL_KEEP_SHEET"))
                dialog.grab().save("/tmp/calib/dialog.png");
        });
        // The offsets move the print only, never the fields on screen; the dialog shows them.
        QCOMPARE(form.field("cbb1")->pos(), cbb1At);
        inCalibrationDialog(form, [](TCalibrationForm& dialog) {
            QCOMPARE(dialog.edtOffsetX->value(), -0.2);
            QCOMPARE(dialog.edtOffsetY->value(), 12.3);
        });
    }

    void shiftAllMovesEveryFieldAsOneUndoableStep_data() {
        QTest::addColumn<double>("dpi");
        QTest::newRow("96 dpi") << 96.0;
        QTest::newRow("120 dpi") << 120.0;
    }
    // 2.5 mm right and 1.3 mm up on a set made at 120 pixels per inch: 12 and −6 design
    // pixels, shown at R ÷ 120 of them.
    void shiftAllMovesEveryFieldAsOneUndoableStep() {
        QFETCH(double, dpi);
        MainWindowFixture fx({"Office Laser"}, "Office Laser", dpi);
        TEXPDPrintForm& form = fx.start();
        QHash<QString, QPoint> before;
        for (WaybillField* f : form.bandFields()) before.insert(f->objectName(), f->pos());
        inCalibrationDialog(form, [](TCalibrationForm& dialog) {
            typeInto(dialog.edtShiftX, "2.5");
            typeInto(dialog.edtShiftY, "-1.3");
            QTest::mouseClick(dialog.btnShiftAll, Qt::LeftButton);
        });
        const auto shown = [&](int design) { return screenFromDesign(design, 120, dpi); };
        for (const WaybillFieldSpec& spec : waybillFieldSpecs())
            QCOMPARE(form.field(spec.objectName())->pos(),
                     QPoint(shown(spec.left + 12), shown(spec.top - 6)));

        // Back on the main window after the dialog closed.
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.cbbNames->setFocus();
        QTest::keyClick(form.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        for (WaybillField* f : form.bandFields()) QCOMPARE(f->pos(), before[f->objectName()]);
        QVERIFY(!form.layoutHistory->hasUnsavedChanges());
        QTest::keyClick(form.windowHandle(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(form.field("cbb1")->pos(), QPoint(shown(168 + 12), shown(87 - 6)));

        // The save writes the shifted design values exactly, whatever the screen.
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(fx.value(kCourier, "cbb1Left"), QString::number(168 + 12));
        QCOMPARE(fx.value(kCourier, "cbb1TOP"), QString::number(87 - 6));
        QCOMPARE(fx.value(kCourier, "cbb55Left"), QString::number(504 + 12));
    }

    void theSheetHasThePictureAtTrueSizeTheRulersAndTheCaptions() {
        WaybillPrintItem caption;
        caption.name = "lbl1";
        caption.left = 800;
        caption.top = 1200;
        caption.caption = CalibrationPage::textsOrCaptions({{"cbb1", ""}, {"cbb2", "上海"}},
                                                           {{"cbb1", "发货人"}, {"cbb2", "始发地"}})
                              .value("cbb1");
        QCOMPARE(caption.caption, QString("[发货人]"));
        caption.fontSize = 10;
        const QImage sheet = drawnSheet({caption});

        // The block covers 22.8 to 205.2 mm of the band across and 12.6 to 113.4 mm down; the
        // band starts 1 mm from the paper's edges.
        QCOMPARE(CupsPdf::inkBox(sheet, QRect(150, 110, 2100, 1100)),
                 QRect(QPoint(238, 136), QPoint(2061, 1143)));
        // Ticks along the top edge: 2 mm every millimetre, 3.5 mm at 5 mm, 5 mm at 10 mm,
        // each 0.2 mm wide and centred on its millimetre.
        QCOMPARE(CupsPdf::inkBox(sheet, QRect(105, 0, 10, 25)), QRect(109, 0, 2, 20));
        QCOMPARE(CupsPdf::inkBox(sheet, QRect(145, 0, 10, 60)), QRect(149, 0, 2, 35));
        QCOMPARE(CupsPdf::inkBox(sheet, QRect(995, 0, 10, 60)), QRect(999, 0, 2, 50));
        QCOMPARE(CupsPdf::inkBox(sheet, QRect(0, 595, 60, 10)), QRect(0, 599, 50, 2));
        // The centimetres are numbered beside their long ticks, inside the 10 mm strip.
        QVERIFY(CupsPdf::inkBox(sheet, QRect(1003, 20, 40, 80)).bottom() < 100);
        QVERIFY(!CupsPdf::inkBox(sheet, QRect(1003, 20, 40, 80)).isEmpty());
        // The caption prints over the white part of the picture, transparent.
        const QRect text = CupsPdf::inkBox(sheet, QRect(790, 1150, 400, 120));
        QVERIFY(!text.isEmpty());
        QVERIFY(text.left() >= 810 && text.top() >= 1210);
    }

    // The sheet goes where a waybill goes: the template's printer, on paper of the waybill's
    // size, with the typed texts and the captions of the empty fields; a printer gone since it
    // was chosen prints nothing.
    void theSheetGoesToTheTemplatesPrinterWithTheUsualChecks() {
        MainWindowFixture fx;
        fx.writeSettings(QStringLiteral("[%1]\r\nPrinterName=Dot Matrix\r\n").arg(kCourier));
        TEXPDPrintForm& form = fx.start();
        form.ReportPage1->setShowProgress(false);
        form.field("cbb11")->setText(QStringLiteral("李四"));
        inCalibrationDialog(form, [](TCalibrationForm& dialog) {
            QTest::mouseClick(dialog.btnPrintSheet, Qt::LeftButton);
        });
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join('|')));
        QCOMPARE(fx.printers.documents.size(), 1);
        const RecordingPrinterBackend::Document& sheet = fx.printers.documents.first();
        QCOMPARE(sheet.printer, QString("Dot Matrix"));
        QCOMPARE(sheet.mode.paperWidth, 2300.0);
        QCOMPARE(sheet.mode.paperLength, 1280.0);
        QStringList printed;
        for (const auto& text : sheet.pages.value(0).texts) printed << text.text;
        QVERIFY(printed.contains("李四"));
        QVERIFY(printed.contains("[发货人]"));
        QVERIFY(printed.contains("[收货电话]"));
        QVERIFY(printed.contains("22"));  // the last centimetre of the top ruler
        // The screen is untouched: no item was left on the band.
        QVERIFY(form.DetailBand1->findChildren<QWidget*>("lbl1").isEmpty());

        fx.printers.printers.removeLast();  // "Dot Matrix" is gone
        inCalibrationDialog(form, [](TCalibrationForm& dialog) {
            QTest::mouseClick(dialog.btnPrintSheet, Qt::LeftButton);
        });
        QCOMPARE(fx.boxes.shown.size(), 1);
        QCOMPARE(fx.printers.documents.size(), 1);
    }

    void aSheetThroughCupsHasThePictureAtTrueSizeAndTheOffsetsApplied() {
        if (!cupsReady()) QSKIP("No CUPS printer \"PDF\" or no pdftoppm");
        const QImage still = printSheetOnCups({});
        const QImage moved = printSheetOnCups("PrintOffsetX=25\r\nPrintOffsetY=13\r\n");
        QVERIFY2(!still.isNull() && !moved.isNull(), "no sheet printed");
        const QSizeF shift = CupsPdf::centringShift(QSizeF(230, 128), still.size());
        // The picture: 182.4 × 100.8 mm of block from 23.8, 13.6 mm, as on the drawn sheet.
        const QRect block = CupsPdf::inkBox(still, QRect(150, 110, 2100, 1100));
        const QString got = QStringLiteral("block %1, %2 to %3, %4")
                                .arg(block.left())
                                .arg(block.top())
                                .arg(block.right())
                                .arg(block.bottom());
        qInfo().noquote() << got;
        QVERIFY2(std::abs(block.left() - (238 - shift.width())) <= 1.5, qPrintable(got));
        QVERIFY2(std::abs(block.top() - (136 - shift.height())) <= 1.5, qPrintable(got));
        QVERIFY2(std::abs(block.width() - 1824) <= 2, qPrintable(got));
        QVERIFY2(std::abs(block.height() - 1008) <= 2, qPrintable(got));
        // The caption of cbb1 ("[发货人]", item at band pixel 304, 28) lies between the top
        // ruler and the block, and moves by exactly the offsets.
        const QRect area(550, 55, 900, 78);
        const QRect a = CupsPdf::inkBox(still, area);
        const QRect b = CupsPdf::inkBox(moved, area);
        const QString text = QStringLiteral("caption at %1, %2 and %3, %4")
                                 .arg(a.left())
                                 .arg(a.top())
                                 .arg(b.left())
                                 .arg(b.top());
        qInfo().noquote() << text;
        QVERIFY2(!a.isEmpty() && !b.isEmpty(), qPrintable(text));
        // The ink of "[" starts a little right of the item's left edge.
        const double itemLeft = 10 + 304 * 254.0 / 120 - shift.width();
        QVERIFY2(a.left() >= itemLeft - 1 && a.left() <= itemLeft + 15, qPrintable(text));
        QVERIFY2(std::abs(b.left() - a.left() - 25) <= 1, qPrintable(text));
        QVERIFY2(std::abs(b.top() - a.top() - 13) <= 1, qPrintable(text));
        QVERIFY2(std::abs(b.width() - a.width()) <= 1, qPrintable(text));
    }
};

QTEST_MAIN(TestCalibrationForm)
#include "tst_calibrationform.moc"
