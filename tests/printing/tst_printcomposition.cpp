#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "printing/PreviewDriver.h"
#include "printing/PrintItems.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"
#include "support/MainWindowFixture.h"

namespace {
QList<TReportLabel*> printItems(TEXPDPrintForm& form) {
    return form.DetailBand1->findChildren<TReportLabel*>(Qt::FindDirectChildrenOnly);
}

QStringList printedTexts(const RecordingPrinterBackend& printers) {
    QStringList texts;
    for (const auto& text : printers.documents.last().pages.first().texts) texts << text.text;
    texts.sort();
    return texts;
}

const QStringList kTenNames{"lbl1", "lbl2", "lbl3", "lbl4", "lbl5",
                            "lbl6", "lbl7", "lbl8", "lbl9", "lbl10"};
}  // namespace

class TestPrintComposition : public QObject {
    Q_OBJECT
  private slots:
    void printMakesOnePageOfTheVisibleTextsAndLeavesNoItems() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        form.field("cbb1")->setText("张三");
        form.field("cbb3")->setText("hidden address");
        form.field("cbb3")->hide();
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        QCOMPARE(fx.printers.documents.size(), 1);
        const auto& document = fx.printers.documents.first();
        QCOMPARE(document.pages.size(), 1);
        QCOMPARE(document.printer, QString("Office Laser"));
        QCOMPARE(document.mode.paperSize, PrinterDeviceMode::UserDefinedPaper);
        QCOMPARE(document.mode.paperWidth, 2300.0);
        QCOMPARE(document.mode.paperLength, 1280.0);
        form.field("cbb55")->setText("单位");
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        // The hidden field's item prints nothing, nor do the unfilled fields (their captions
        // are only placeholders).
        QCOMPARE(fx.printers.documents.size(), 2);
        QCOMPARE(printedTexts(fx.printers), (QStringList{"单位", "张三"}));
        QVERIFY(printItems(form).isEmpty());
        QCOMPARE(PrintItemNames, kTenNames);
        QVERIFY(form.updatesEnabled());
    }

    void textLandsAtTheFieldPlusFourPixelsFromThePaperEdge() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        form.field("cbb1")->setText("X");
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(fx.printers.documents.size(), 1);
        // At 120 dpi on screen, cbb1's item at band pixel (172, 91) starts 37.41 mm from the
        // left edge; the recording printer has 180 dpi and no offsets.
        for (const auto& text : fx.printers.documents.first().pages.first().texts) {
            if (text.text != "X") continue;
            QCOMPARE(qRound(text.baseline.x()), qRound((10 + 172 * 254.0 / 120) * 180 / 254));
            return;
        }
        QFAIL("text X not printed");
    }

    void previewKeepsTheItemsOnThePageUntilItCloses() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        form.field("cbb22")->hide();
        const bool ran = runInPreview(form, [&](TEXPDPreview&) {
            const auto items = printItems(form);
            QCOMPARE(items.size(), 10);
            auto* destination = form.DetailBand1->findChild<TReportLabel*>("lbl6");
            QVERIFY(destination);
            QCOMPARE(destination->caption(), QString());
            QCOMPARE(destination->left(), form.field("cbb22")->x() + 4);
            QCOMPARE(destination->top(), form.field("cbb22")->y() + 4);
            // Both commands and closing the main window are refused meanwhile.
            QTest::mouseClick(form.btnPrint, Qt::LeftButton);
            QVERIFY(fx.printers.documents.isEmpty());
            QVERIFY(!form.close());
            QVERIFY(form.isVisible());
        });
        QVERIFY(ran);
        QVERIFY(!ActivePreview);
        QVERIFY(printItems(form).isEmpty());
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(fx.printers.documents.size(), 1);
    }

    void fitTestTurnsAWideTextIntoABoxBrokenAnywhere() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        chooseItem(form.cbbfontSize, "12");
        const QString text = QStringLiteral("北京市朝阳区建国路88号");
        // Measured in the window's face at the template's resolution (120 here), not the screen's.
        QFont surfaceFont = form.font();
        surfaceFont.setPointSize(12);
        QImage at120(1, 1, QImage::Format_ARGB32_Premultiplied);
        at120.setDotsPerMeterX(qRound(120 / 0.0254));
        at120.setDotsPerMeterY(qRound(120 / 0.0254));
        const int textWidth = QFontMetrics(surfaceFont, &at120).horizontalAdvance(text);
        WaybillField* fits = form.field("cbb3");
        WaybillField* tooWide = form.field("cbb33");
        fits->setText(text);
        tooWide->setText(text);
        fits->resize(textWidth + 20, fits->height());
        tooWide->resize(textWidth + 19, tooWide->height());
        const bool ran = runInPreview(form, [&](TEXPDPreview&) {
            auto* sized = form.DetailBand1->findChild<TReportLabel*>("lbl3");
            auto* boxed = form.DetailBand1->findChild<TReportLabel*>("lbl7");
            QVERIFY(sized && boxed);
            QVERIFY(sized->autoSize());
            QCOMPARE(sized->lines(), QStringList{text});
            QVERIFY(!boxed->autoSize());
            QCOMPARE(boxed->wrapStyle(), TWrapStyle::BreakAnywhere);
            QCOMPARE(boxed->itemWidth(), tooWide->width());
            QCOMPARE(boxed->itemHeight(), 3 * tooWide->height());
            QCOMPARE(boxed->font().pointSize(), 12);
        });
        QVERIFY(ran);
    }

    void typedSizeWithoutEnterIsThePrintedSize() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        form.edtLong->setFocus();
        form.edtLong->selectAll();
        QTest::keyClicks(form.edtLong, "100");
        QCOMPARE(form.edtWide->text(), QString("180"));
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Length), 128.0);
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(fx.printers.documents.size(), 1);
        QCOMPARE(fx.printers.documents.first().mode.paperLength, 1000.0);
        QCOMPARE(fx.printers.documents.first().mode.paperWidth, 1800.0);
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Width), 180.0);
        QCOMPARE(form.DetailBand1->sizeValue(TReportBand::Length), 98.0);
    }

    void chosenPrinterPrintsTheWaybill() {
        MainWindowFixture fx({"Office Laser", "Dot Matrix"}, "Office Laser");
        TEXPDPrintForm& form = fx.start();
        chooseItem(form.cbbPrinterName, "Dot Matrix");
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(fx.printers.documents.size(), 1);
        QCOMPARE(fx.printers.documents.first().printer, QString("Dot Matrix"));
    }

    void noPrinterWarnsAndLeavesTheBandAlone() {
        MainWindowFixture fx({}, {});
        TEXPDPrintForm& form = fx.start();
        PrintItemNames = {"unchanged"};
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QTest::mouseClick(form.btn1, Qt::LeftButton);
        QCOMPARE(fx.boxes.texts(), QStringList({"未安装打印机！", "未安装打印机！"}));
        QCOMPARE(fx.boxes.shown.first().icon, MessageBoxes::Icon::Warning);
        QVERIFY(printItems(form).isEmpty());
        QCOMPARE(PrintItemNames, QStringList{"unchanged"});
    }

    // Paper a few millimetres or a metre across is a typing slip, not a waybill: neither
    // command may print or show it, and the refusal changes nothing the user typed or stored.
    void absurdPaperSizesAreRefusedBeforeAnythingPrints() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        form.chk1->setChecked(false);  // each edit keeps what is typed into it
        struct Size {
            QString length, width;
        };
        for (const Size& size :
             {Size{"5", "5"}, Size{"999", "999"}, Size{"19", "230"}, Size{"128", "601"}}) {
            form.edtLong->setText(size.length);
            form.edtWide->setText(size.width);
            const QString before = fx.readSettings();
            fx.boxes.clear();
            QTest::mouseClick(form.btnPrint, Qt::LeftButton);
            // A preview that opened would hold the test in its loop: close it, so that the
            // checks below can tell.
            QTimer::singleShot(1000, &form, [] {
                if (ActivePreview) ActivePreview->close();
            });
            QTest::mouseClick(form.btn1, Qt::LeftButton);
            const QString context = size.length + " x " + size.width;
            QCOMPARE(fx.boxes.shown.size(), 2);
            for (const QString& text : fx.boxes.texts()) {
                QVERIFY2(text.contains(size.length + " × " + size.width), qPrintable(text));
                QVERIFY2(text.contains("20") && text.contains("600"), qPrintable(text));
            }
            QVERIFY2(fx.printers.documents.isEmpty(), qPrintable(context));
            QVERIFY(!ActivePreview);
            QVERIFY(printItems(form).isEmpty());
            QCOMPARE(form.edtLong->text(), size.length);
            QCOMPARE(form.edtWide->text(), size.width);
            QCOMPARE(form.ReportPage1->pageValue(TReportPage::Length), 128.0);
            QCOMPARE(form.ReportPage1->pageValue(TReportPage::Width), 230.0);
            QCOMPARE(fx.readSettings(), before);
        }
        // The limits themselves print.
        fx.boxes.clear();
        form.edtLong->setText("20");
        form.edtWide->setText("600");
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        QCOMPARE(fx.printers.documents.size(), 1);
        QCOMPARE(fx.printers.documents.first().mode.paperLength, 200.0);
        QCOMPARE(fx.printers.documents.first().mode.paperWidth, 6000.0);
    }

    void aCommandEndedByAnErrorLeavesNothingBehind() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        // The printer fails when the document starts: the items exist by then.
        fx.printers.printers[0].failOnStart = true;
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(fx.boxes.shown.size(), 1);
        QVERIFY(printItems(form).isEmpty());
        QVERIFY(form.updatesEnabled());

        // An empty size edit, found after the items were made.
        fx.boxes.clear();
        fx.printers.printers[0].failOnStart = false;
        form.chk1->setChecked(false);
        form.edtWide->clear();
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(fx.boxes.texts(), QStringList{"请填写快递单的高和宽（毫米）。"});
        QVERIFY(printItems(form).isEmpty());

        // No font size chosen.
        fx.boxes.clear();
        form.edtWide->setText("230");
        form.cbbfontSize->setCurrentIndex(-1);
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(fx.boxes.texts(), QStringList{"请先选择字号。"});
        QVERIFY(printItems(form).isEmpty());

        // The next command works.
        fx.boxes.clear();
        form.cbbfontSize->setCurrentIndex(3);
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QVERIFY(fx.boxes.shown.isEmpty());
        QCOMPARE(fx.printers.documents.last().pages.size(), 1);
        QVERIFY(fx.printers.documents.last().ended);
    }
};

QTEST_MAIN(TestPrintComposition)
#include "tst_printcomposition.moc"
