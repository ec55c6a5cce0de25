#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "printing/engine/TReportPage.h"
#include "support/MainWindowFixture.h"

namespace {
const QString kLongbang = QStringLiteral("龙邦快递");
const QString kShunfeng = QStringLiteral("顺丰快递");
}  // namespace

class TestPrinterChoice : public QObject {
    Q_OBJECT
  private slots:
    void choosingAPrinterStoresItAndHandsItToThePage() {
        MainWindowFixture fx({"Office Laser", "Dot Matrix", "Label"}, "Office Laser");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbPrinterName->count(), 3);
        QCOMPARE(form.ReportPage1->printerSettings().PrinterIndex, -1);
        chooseItem(form.cbbPrinterName, "Dot Matrix");
        QCOMPARE(fx.value(kLongbang, "PrinterName"), QString("Dot Matrix"));
        QCOMPARE(form.ReportPage1->printerSettings().PrinterIndex, 1);
    }

    void defaultPrinterButtonTakesTheListsSpelling() {
        MainWindowFixture fx({"Office Laser", "Dot Matrix"}, "DOT MATRIX");
        TEXPDPrintForm& form = fx.start();
        chooseItem(form.cbbPrinterName, "Office Laser");
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QCOMPARE(form.cbbPrinterName->currentText(), QString("Dot Matrix"));
        QCOMPARE(fx.value(kLongbang, "PrinterName"), QString("Dot Matrix"));
        QCOMPARE(form.ReportPage1->printerSettings().PrinterIndex, 1);
        QCOMPARE(GetDefaultPrinterName(), QString("Dot Matrix"));
    }

    void printersWithoutADefaultAreReported() {
        MainWindowFixture fx({"Office Laser", "Dot Matrix"}, "");
        TEXPDPrintForm& form = fx.start();
        // The template load asked for the default printer first and stopped there.
        QCOMPARE(fx.boxes.texts(), QStringList{"There is no default printer currently selected"});
        fx.boxes.clear();
        form.ReportPage1->printerSettings().PrinterIndex = 0;
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QCOMPARE(fx.boxes.texts(), QStringList{"There is no default printer currently selected"});
        QCOMPARE(form.ReportPage1->printerSettings().PrinterIndex, 0);
    }

    void withNoPrinterTheDefaultButtonClearsTheChoice() {
        MainWindowFixture fx({}, {});
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbPrinterName->count(), 0);
        QCOMPARE(GetDefaultPrinterName(), QString());
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QCOMPARE(form.cbbPrinterName->currentIndex(), -1);
        QCOMPARE(form.ReportPage1->printerSettings().PrinterIndex, -1);
        QVERIFY(fx.readSettings().contains("PrinterName=\r\n"));
        QVERIFY(fx.boxes.shown.isEmpty());
    }

    void eachCourierBringsItsOwnPrinter() {
        MainWindowFixture fx({"Office Laser", "Dot Matrix"}, "Office Laser");
        fx.writeSettings("[顺丰快递]\r\nPrinterName=dot matrix\r\n");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbPrinterName->currentText(), QString("Office Laser"));
        chooseItem(form.cbbNames, kShunfeng);
        QCOMPARE(form.cbbPrinterName->currentText(), QString("Dot Matrix"));
        // The working-set load leaves the page's printer to the print command.
        QCOMPARE(form.ReportPage1->printerSettings().PrinterIndex, -1);
    }
};

QTEST_MAIN(TestPrinterChoice)
#include "tst_printerchoice.moc"
