#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QToolButton>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"
#include "support/MainWindowFixture.h"

namespace {
const QString kLongbang = QStringLiteral("龙邦快递");
const QString kShunfeng = QStringLiteral("顺丰快递");

void typeSize(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}
}  // namespace

class TestTemplateLoadSave : public QObject {
    Q_OBJECT
  private slots:
    void firstStartShowsLongbangAtItsDesignSize() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbNames->currentText(), kLongbang);
        QCOMPARE(form.edtLong->text(), QString("128"));
        QCOMPARE(form.edtWide->text(), QString("230"));
        QCOMPARE(form.cbbfontSize->currentText(), QString("10"));
        QCOMPARE(form.cbbPrinterName->currentText(), QString("Office Laser"));
        QCOMPARE(form.ReportPage1->size(), QSize(1087, 605));
        QCOMPARE(form.DetailBand1->sizeValue(TReportBand::Length), 126.0);
        // The font keys of the courier switch created the file; nothing else was written.
        QCOMPARE(fx.value(kLongbang, "Textfontsize"), QString("10"));
        QVERIFY(fx.value(kLongbang, "PrinterName").isEmpty());
        QCOMPARE(form.field("cbb1")->font().pointSize(), 10);
        QVERIFY(fx.boxes.shown.isEmpty());
    }

    void savedWorkingSetComesBackWhenTheCourierIsChosenAgain() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        form.field("cbb1")->setGeometry(30, 40, 300, 26);
        form.field("cbb22")->setGeometry(700, 111, 95, 26);
        typeSize(form.edtLong, "100");
        QCOMPARE(form.edtWide->text(), QString("180"));
        chooseItem(form.cbbPrinterName, "Dot Matrix");
        chooseItem(form.cbbfontSize, "12");
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Length), 100.0);
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Width), 180.0);

        chooseItem(form.cbbNames, kShunfeng);
        QCOMPARE(form.field("cbb1")->geometry(), QRect(30, 40, 300, 26));  // inherited: no keys
        form.field("cbb1")->setGeometry(1, 2, 50, 26);
        chooseItem(form.cbbNames, kLongbang);

        QCOMPARE(form.field("cbb1")->geometry(), QRect(30, 40, 300, 26));
        QCOMPARE(form.field("cbb22")->geometry(), QRect(700, 111, 95, 26));
        QCOMPARE(form.edtLong->text(), QString("100"));
        QCOMPARE(form.edtWide->text(), QString("180"));
        QCOMPARE(form.cbbPrinterName->currentText(), QString("Dot Matrix"));
        QCOMPARE(form.cbbfontSize->currentText(), QString("12"));
        QCOMPARE(form.field("cbb55")->font().pointSize(), 12);

        // A fresh section lists its keys in the order of their first writing.
        const QString file = fx.readSettings();
        const QStringList order{"Textfontsize=", "PrinterName=", "CurrentLong=", "CurrentWide=",
                                "FontName=",     "FontSize=",    "cbb1TOP=40",   "cbb1Left=30",
                                "cbb1Width=300", "cbb2TOP=",     "cbb55Width="};
        int at = file.indexOf("[" + kLongbang + "]");
        for (const QString& key : order) {
            const int next = file.indexOf(key, at);
            QVERIFY2(next > at, qPrintable(key));
            at = next;
        }
        QVERIFY(!file.contains("FHName"));  // visibility is never saved here
    }

    void defaultSetSavesAndRestoresEachFieldsOwnValues() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QTest::mouseDClick(form.pnlHidden, Qt::LeftButton, {}, QPoint(5, 5));
        form.field("cbb22")->setGeometry(600, 100, 77, 26);
        form.field("cbb33")->setGeometry(480, 200, 250, 26);
        QTest::mouseClick(form.btnSaveDefault, Qt::LeftButton);
        QCOMPARE(fx.boxes.texts(), QStringList{"保存完成！"});
        QCOMPARE(fx.boxes.shown.first().icon, MessageBoxes::Icon::Information);
        QCOMPARE(fx.value(kLongbang, "Defaultcbb22Width"), QString("77"));
        QCOMPARE(fx.value(kLongbang, "DefaultLong"), QString("128"));

        form.field("cbb22")->setGeometry(0, 0, 10, 26);
        form.field("cbb33")->setGeometry(0, 0, 10, 26);
        form.field("cbb33")->hide();
        form.ReportPage1->printerSettings().PrinterIndex = 1;
        QTest::mouseClick(form.btnDefault, Qt::LeftButton);
        QCOMPARE(form.field("cbb22")->geometry(), QRect(600, 100, 77, 26));
        QCOMPARE(form.field("cbb33")->geometry(), QRect(480, 200, 250, 26));
        QVERIFY(!form.field("cbb33")->isHidden());
        // Loading the default set hands the printer to the page.
        QCOMPARE(form.ReportPage1->printerSettings().PrinterIndex, 0);
    }

    void defaultSetNeverSavedKeepsFieldsAndShowsThemAll() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        form.field("cbb4")->setGeometry(11, 22, 33, 26);
        form.field("cbb4")->hide();
        typeSize(form.edtLong, "64");
        QTest::keyClick(form.edtLong, Qt::Key_Return);
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Length), 64.0);
        const QString before = fx.readSettings();
        form.btnDefaultClick();
        QCOMPARE(form.field("cbb4")->geometry(), QRect(11, 22, 33, 26));
        QVERIFY(!form.field("cbb4")->isHidden());
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Length), 128.0);
        QCOMPARE(form.edtLong->text(), QString("128"));
        QCOMPARE(form.edtWide->text(), QString("230"));
        QCOMPARE(form.cbbfontSize->currentText(), QString("10"));
        QCOMPARE(fx.readSettings(), before);
    }

    void applyWithAnEmptySizeTouchesNothing() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        const QString before = fx.readSettings();
        form.edtWide->setFocus();
        form.edtWide->clear();
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(fx.readSettings(), before);
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Width), 230.0);
    }

    void storedPrinterThatIsGoneIsReplacedByTheDefault() {
        MainWindowFixture fx({"Office Laser", "Dot Matrix"}, "dot matrix");
        fx.writeSettings("[龙邦快递]\r\nPrinterName=Old Printer\r\n");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbPrinterName->currentText(), QString("Dot Matrix"));
        QCOMPARE(fx.value(kLongbang, "PrinterName"), QString("Dot Matrix"));
    }

    void withNoPrinterTheStoredPrinterNameIsKept() {
        MainWindowFixture fx({}, {});
        fx.writeSettings("[龙邦快递]\r\nPrinterName=Dot Matrix\r\n");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbPrinterName->count(), 0);
        QCOMPARE(fx.value(kLongbang, "PrinterName"), QString("Dot Matrix"));
        QVERIFY(fx.boxes.shown.isEmpty());
    }

    void saveDefaultWithABadSizeTextSaysSoAndLeavesThePageAlone() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        form.chk1->setChecked(false);  // keeps the ratio lock out of it
        form.edtLong->setText("12a");
        form.edtWide->setText("99");
        QTest::mouseClick(form.btnSaveDefault, Qt::LeftButton);
        QCOMPARE(fx.boxes.texts().size(), 2);
        QCOMPARE(fx.boxes.texts().first(), QString("保存完成！"));
        QVERIFY(fx.boxes.texts().last().contains("12a"));
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Length), 128.0);
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Width), 230.0);
        QCOMPARE(form.DetailBand1->sizeValue(TReportBand::Length), 126.0);
    }

    void noCourierSelectedNeverWritesANamelessSection() {
        MainWindowFixture fx;
        fx.writeSettings("[DefaultExpress]\r\nDefaultExpressD=\r\n");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbNames->currentIndex(), -1);
        for (WaybillField* f : form.bandFields()) QVERIFY(f->isHidden());
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        chooseItem(form.cbbfontSize, "14");
        chooseItem(form.cbbPrinterName, "Dot Matrix");
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QVERIFY(!fx.readSettings().contains("[]"));
        QVERIFY(fx.boxes.shown.isEmpty());
    }

    void unwritableSettingsFileStopsTheSaveAtTheFailingKey() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        // A folder where the settings file should be makes every write fail, even for root.
        QFile::remove(fx.folders.settingsFile());
        QDir(fx.folders.executableFolder()).mkdir("Quorvel.ini");
        form.field("cbb1")->move(3, 4);
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(fx.boxes.texts(), QStringList{"Unable to write to " + fx.folders.settingsFile()});
    }

    void startRemovesWhatAKilledWriteLeftBehind() {
        MainWindowFixture fx;
        fx.writeSettings(u"[DefaultExpress]\r\nDefaultExpressD=顺丰快递\r\n"_qs);
        const QDir folder(fx.folders.executableFolder());
        const auto leave = [&](const QString& name, int ageSeconds) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[DefaultExpress]\r\n");
            QVERIFY(file.flush());
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                     QFileDevice::FileModificationTime));
        };
        leave("Quorvel.ini.kZbQeW", 3600);
        leave("Quorvel.ini.PfMnTa", 90);
        leave("Quorvel.ini.RtYuIo", 5);  // another copy may be writing it right now
        leave("Quorvel.ini.backup1", 3600);
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbNames->currentText(), kShunfeng);
        QStringList left = folder.entryList({"Quorvel.ini*"}, QDir::Files);
        left.sort();
        QCOMPARE(left, QStringList({"Quorvel.ini", "Quorvel.ini.RtYuIo", "Quorvel.ini.backup1"}));
    }

    void unicodeSettingsFileIsReadAndStaysUnicode() {
        // Edited in a Windows editor and saved as "Unicode": UTF-16, little-endian, with a mark.
        MainWindowFixture fx;
        const QString before =
            u"[DefaultExpress]\r\nDefaultExpressD=顺丰快递\r\n"
            u"[顺丰快递]\r\ncbb1TOP=50\r\ncbb1Left=60\r\nFontSize=12\r\n"_qs;
        QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        {
            QFile file(fx.folders.settingsFile());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(encoder.encode(before));
        }
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbNames->currentText(), kShunfeng);
        QCOMPARE(form.field("cbb1")->pos(), QPoint(60, 50));
        QCOMPARE(form.cbbfontSize->currentText(), QString("12"));

        form.field("cbb1")->move(61, 51);
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QVERIFY(fx.boxes.shown.isEmpty());
        QFile file(fx.folders.settingsFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xFF\xFE"));
        const QString after = QStringDecoder(QStringConverter::Utf16LE)(bytes);
        QVERIFY2(after.startsWith(u"[DefaultExpress]\r\nDefaultExpressD=顺丰快递\r\n[顺丰快递]\r\n"
                                  u"cbb1TOP=51\r\ncbb1Left=61\r\nFontSize=12\r\n"_qs),
                 qPrintable(after));
        QCOMPARE(fx.value(kShunfeng, "cbb1Width"), QString::number(form.field("cbb1")->width()));
    }
};

QTEST_MAIN(TestTemplateLoadSave)
#include "tst_templateloadsave.moc"
