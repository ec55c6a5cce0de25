#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "printing/TEXPDPreview.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"
#include "support/MainWindowFixture.h"

namespace {
const QString kLongbang = QStringLiteral("龙邦快递");
const QString kShunfeng = QStringLiteral("顺丰快递");

QStringList listedPrinters(const TEXPDPrintForm& form) {
    QStringList names;
    for (int i = 0; i < form.cbbPrinterName->count(); ++i)
        names << form.cbbPrinterName->itemText(i);
    return names;
}

void removePrinter(MainWindowFixture& fx, const QString& name) {
    fx.printers.printers.removeIf(
        [&](const RecordingPrinterBackend::Printer& p) { return p.name == name; });
}

QList<TReportLabel*> printItems(TEXPDPrintForm& form) {
    return form.DetailBand1->findChildren<TReportLabel*>(Qt::FindDirectChildrenOnly);
}
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

    // CUPS often names no default destination. The start must stay quiet and load the whole
    // template, the stored printer must survive, and nothing may print until one is chosen.
    void printersWithoutADefaultStartQuietlyAndKeepTheStoredPrinter() {
        MainWindowFixture fx({"Office Laser", "Dot Matrix", "Label"}, "");
        fx.writeSettings(
            "[龙邦快递]\r\nPrinterName=Gone Printer\r\nCurrentLong=64\r\nCurrentWide=115\r\n"
            "FontSize=12\r\ncbb1Left=300\r\ncbb1TOP=200\r\n"
            "[顺丰快递]\r\nPrinterName=label\r\nCurrentLong=90\r\nCurrentWide=162\r\n"
            "cbb1Left=50\r\ncbb1TOP=60\r\n");
        TEXPDPrintForm& form = fx.start();
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        QCOMPARE(form.field("cbb1")->pos(), QPoint(300, 200));
        QCOMPARE(form.edtLong->text(), QString("64"));
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Width), 115.0);
        QCOMPARE(form.field("cbb55")->font().pointSize(), 12);
        QCOMPARE(form.cbbPrinterName->currentIndex(), -1);
        QCOMPARE(fx.value(kLongbang, "PrinterName"), QString("Gone Printer"));

        // "默认打印机" says there is none and changes nothing.
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QCOMPARE(fx.boxes.shown.size(), 1);
        QVERIFY(fx.boxes.texts().first().contains("没有设置默认打印机"));
        QCOMPARE(form.cbbPrinterName->currentIndex(), -1);
        QCOMPARE(form.ReportPage1->printerSettings().PrinterIndex, -1);
        QCOMPARE(fx.value(kLongbang, "PrinterName"), QString("Gone Printer"));

        // Both commands name the printer to choose instead of taking the first queue.
        fx.boxes.clear();
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QTest::mouseClick(form.btn1, Qt::LeftButton);
        const QString choose = "请先选择打印机。本快递单设定的打印机“Gone Printer”未安装。";
        QCOMPARE(fx.boxes.texts(), QStringList({choose, choose}));
        QVERIFY(fx.printers.documents.isEmpty());
        QVERIFY(!ActivePreview);
        QVERIFY(printItems(form).isEmpty());

        // Saving with nothing chosen keeps the stored printer.
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(fx.value(kLongbang, "PrinterName"), QString("Gone Printer"));

        // The courier switch runs to its end, so the save goes where the layout came from.
        chooseItem(form.cbbNames, kShunfeng);
        QCOMPARE(form.cbbPrinterName->currentText(), QString("Label"));
        QCOMPARE(form.field("cbb1")->pos(), QPoint(50, 60));
        QCOMPARE(form.edtLong->text(), QString("90"));
        form.field("cbb1")->move(55, 66);
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(fx.value(kShunfeng, "cbb1Left"), QString("55"));
        QCOMPARE(fx.value(kShunfeng, "cbb1TOP"), QString("66"));
        QCOMPARE(fx.value(kShunfeng, "CurrentLong"), QString("90"));
        QCOMPARE(fx.value(kShunfeng, "PrinterName"), QString("Label"));
        QCOMPARE(fx.value(kLongbang, "cbb1Left"), QString("300"));
        QCOMPARE(fx.value(kLongbang, "CurrentLong"), QString("64"));

        chooseItem(form.cbbNames, kLongbang);
        QCOMPARE(form.field("cbb1")->pos(), QPoint(300, 200));
        QCOMPARE(form.cbbPrinterName->currentIndex(), -1);
        chooseItem(form.cbbPrinterName, "Dot Matrix");
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(fx.printers.documents.size(), 1);
        QCOMPARE(fx.printers.documents.first().printer, QString("Dot Matrix"));
        QCOMPARE(fx.boxes.shown.size(), 2);
    }

    void noChoiceNoDefaultAndNothingStoredAsksForAPrinter() {
        MainWindowFixture fx({"Office Laser", "Dot Matrix"}, "");
        TEXPDPrintForm& form = fx.start();
        QVERIFY(fx.boxes.shown.isEmpty());
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(fx.boxes.texts(), QStringList{"请先选择打印机。"});
        QVERIFY(fx.printers.documents.isEmpty());
        QVERIFY(fx.value(kLongbang, "PrinterName").isEmpty());
    }

    // A queue removed while the program runs: its name must never slide onto the next one.
    void aRemovedPrinterIsNamedAndNothingPrints() {
        const QStringList five{"P1", "P2", "P3", "P4", "P5"};
        for (const QString& removed : {QString("P3"), QString("P5")}) {
            MainWindowFixture fx(five, "P1");
            TEXPDPrintForm& form = fx.start();
            chooseItem(form.cbbPrinterName, removed);
            removePrinter(fx, removed);
            QTest::mouseClick(form.btnPrint, Qt::LeftButton);
            QCOMPARE(fx.boxes.texts(),
                     QStringList{QString("打印机“%1”已不存在，请重新选择。").arg(removed)});
            QVERIFY2(fx.printers.documents.isEmpty(), qPrintable(removed));
            QVERIFY(printItems(form).isEmpty());
            // The list shows what is installed now, with nothing chosen; the file keeps the name.
            QCOMPARE(listedPrinters(form), fx.printers.printerNames());
            QCOMPARE(form.cbbPrinterName->currentIndex(), -1);
            QCOMPARE(fx.value(kLongbang, "PrinterName"), removed);

            chooseItem(form.cbbPrinterName, "P4");
            QTest::mouseClick(form.btnPrint, Qt::LeftButton);
            QCOMPARE(fx.printers.documents.size(), 1);
            QCOMPARE(fx.printers.documents.first().printer, QString("P4"));
        }
    }

    void theChosenPrinterKeepsTheJobWhenAnotherOneGoes() {
        MainWindowFixture fx({"P1", "P2", "P3", "P4", "P5"}, "P1");
        TEXPDPrintForm& form = fx.start();
        chooseItem(form.cbbPrinterName, "P4");
        removePrinter(fx, "P1");
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        QCOMPARE(fx.printers.documents.size(), 1);
        QCOMPARE(fx.printers.documents.first().printer, QString("P4"));
        QCOMPARE(listedPrinters(form), fx.printers.printerNames());
        QCOMPARE(form.cbbPrinterName->currentText(), QString("P4"));
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
