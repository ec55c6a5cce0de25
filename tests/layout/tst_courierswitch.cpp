#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"
#include "support/MainWindowFixture.h"

namespace {
const QString kLongbang = QStringLiteral("龙邦快递");
const QString kShunfeng = QStringLiteral("顺丰快递");
const QString kYuanzhi = QStringLiteral("元智捷诚");

int hiddenFields(TEXPDPrintForm& form) {
    int hidden = 0;
    for (WaybillField* f : form.bandFields()) hidden += f->isHidden() ? 1 : 0;
    return hidden;
}

QColor pictureColour(TEXPDPrintForm& form) {
    return form.Image1->pixmap().toImage().pixelColor(5, 5);
}
}  // namespace

class TestCourierSwitch : public QObject {
    Q_OBJECT
  private slots:
    void missingPictureShowsTheFallBackAndHidesTheFields() {
        MainWindowFixture fx;
        fx.removePicture(kShunfeng);
        fx.writeSettings("[顺丰快递]\r\nCurrentLong=100\r\n");
        TEXPDPrintForm& form = fx.start();
        form.edtWide->setFocus();
        form.chk1->setChecked(false);
        form.edtLong->setText("90");
        const QString before = fx.readSettings();

        chooseItem(form.cbbNames, kShunfeng);
        QCOMPARE(hiddenFields(form), 10);
        QVERIFY(qGray(pictureColour(form).rgb()) < 200);  // the grey fall-back
        QCOMPARE(form.edtLong->text(), QString("90"));    // nothing of the template loaded
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Length), 128.0);
        QCOMPARE(fx.readSettings(), before);
        QVERIFY(fx.boxes.shown.isEmpty());

        chooseItem(form.cbbNames, kYuanzhi);
        QCOMPARE(hiddenFields(form), 0);
        QVERIFY(qGray(pictureColour(form).rgb()) > 240);
    }

    void aFileThatIsNotAJpegCountsAsMissing() {
        MainWindowFixture fx;
        QFile fake(QDir(fx.folders.workingFolder()).filePath(kYuanzhi + ".jpg"));
        QVERIFY(fake.open(QIODevice::WriteOnly | QIODevice::Truncate));
        fake.write("not a picture");
        fake.close();
        TEXPDPrintForm& form = fx.start();
        chooseItem(form.cbbNames, kYuanzhi);
        QCOMPARE(hiddenFields(form), 10);
    }

    void missingPictureSwitchesDraggingOff() {
        MainWindowFixture fx;
        fx.removePicture(kShunfeng);
        TEXPDPrintForm& form = fx.start();
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        QVERIFY(form.CheckBox1->isChecked());
        chooseItem(form.cbbNames, kShunfeng);
        QVERIFY(!form.CheckBox1->isChecked());
    }

    void missingFallBackIsReportedAndNothingChanges() {
        MainWindowFixture fx;
        fx.removePicture(kShunfeng);
        fx.removePicture("vornix");
        TEXPDPrintForm& form = fx.start();
        const QColor before = pictureColour(form);
        chooseItem(form.cbbNames, kShunfeng);
        QCOMPARE(fx.boxes.shown.size(), 1);
        QVERIFY(fx.boxes.texts().first().contains("vornix.jpg"));
        QCOMPARE(pictureColour(form), before);
        QCOMPARE(hiddenFields(form), 0);
    }

    void aSwitchPutsEveryFieldsCaptionBack() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        form.field("cbb1")->setText("张三");
        form.field("cbb44")->setText("13800000000");
        chooseItem(form.cbbNames, kYuanzhi);
        // Emptied, so that their captions show as placeholders.
        QVERIFY(form.field("cbb1")->text().isEmpty());
        QVERIFY(form.field("cbb44")->text().isEmpty());
        QCOMPARE(form.field("cbb44")->lineEdit()->placeholderText(), QString("收货电话"));
    }

    void everySwitchWritesTheFontKeysAndAppliesTheFont() {
        MainWindowFixture fx;
        fx.writeSettings("[元智捷诚]\r\nFontSize=14\r\n");
        TEXPDPrintForm& form = fx.start();
        chooseItem(form.cbbNames, kYuanzhi);
        QCOMPARE(fx.value(kYuanzhi, "Textfontsize"), QString("14"));
        for (WaybillField* f : form.bandFields()) QCOMPARE(f->font().pointSize(), 14);
    }

    void faceListIsSortedAndAFaceReachesEveryFieldHiddenOnesToo() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QVERIFY(form.cbbTextfontname->count() > 0);
        for (int i = 1; i < form.cbbTextfontname->count(); ++i)
            QVERIFY(QString::compare(form.cbbTextfontname->itemText(i - 1),
                                     form.cbbTextfontname->itemText(i), Qt::CaseInsensitive) <= 0);
        form.field("cbb3")->hide();
        const QString face = form.cbbTextfontname->itemText(form.cbbTextfontname->count() - 1);
        chooseItem(form.cbbTextfontname, face);
        for (WaybillField* f : form.bandFields()) QCOMPARE(f->font().family(), face);
        QCOMPARE(fx.value(kLongbang, "Textfontname"), face);
    }
};

QTEST_MAIN(TestCourierSwitch)
#include "tst_courierswitch.moc"
