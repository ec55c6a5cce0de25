// The main window on screens of 96, 120 and 144 pixels per inch: a template's fields lie over
// the same spot of the picture on every screen, print at the same place on paper, and a load
// and save without moving anything leaves the settings file as it was.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "printing/engine/TReportBand.h"
#include "support/MainWindowFixture.h"

namespace {
const QString kLongbang = QStringLiteral("龙邦快递");

QPointF printedAt(const RecordingPrinterBackend& printers, const QString& text) {
    for (const auto& t : printers.documents.last().pages.first().texts)
        if (t.text == text) return t.baseline;
    return {-1, -1};
}

QByteArray settingsBytes(const MainWindowFixture& fx) {
    QFile file(fx.folders.settingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The recording printer's 180 dpi device pixel of an engine length (0.1 mm), margin included.
int devicePixel(double internal) {
    return qRound((10 + internal) * 180 / 254);
}
}  // namespace

class TestMainWindowResolution : public QObject {
    Q_OBJECT
  private slots:
    void fieldsAreScaledOnScreenAndPrintTheSameEverywhere_data() {
        QTest::addColumn<double>("screenDpi");
        QTest::addRow("96") << 96.0;
        QTest::addRow("120") << 120.0;
        QTest::addRow("144") << 144.0;
    }

    void fieldsAreScaledOnScreenAndPrintTheSameEverywhere() {
        QFETCH(double, screenDpi);
        MainWindowFixture fx({"Office Laser"}, "Office Laser", screenDpi);
        // Calibrated at 120 dpi, before the resolution was recorded.
        fx.writeSettings("[龙邦快递]\r\ncbb1Left=300\r\ncbb1TOP=200\r\ncbb1Width=150\r\n");
        TEXPDPrintForm& form = fx.start();
        WaybillField* f = form.field("cbb1");
        const double scale = screenDpi / 120;
        QCOMPARE(f->geometry(), QRect(qRound(300 * scale), qRound(200 * scale), qRound(150 * scale),
                                      qRound(26 * scale)));
        // Over the same spot of the picture, which is stretched over the band.
        const double band = form.DetailBand1->width();
        QVERIFY(std::abs(f->x() / band - 300.0 / 1078) < 1.0 / band);
        QCOMPARE(form.Image1->geometry(), form.DetailBand1->rect());

        f->setText("X");
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        // Item at design pixel (304, 204) of a 120-dpi layout, whatever the screen.
        const QPointF at = printedAt(fx.printers, "X");
        QCOMPARE(qRound(at.x()), devicePixel(304 * 254.0 / 120));
        QVERIFY(at.y() > devicePixel(204 * 254.0 / 120));
        static QPointF atOtherScreens;
        if (screenDpi == 96.0) atOtherScreens = at;
        QCOMPARE(at, atOtherScreens);
    }

    void aSetMadeAt96IsShownAndPrintedForItsResolution() {
        MainWindowFixture fx({"Office Laser"}, "Office Laser", 120.0);
        fx.writeSettings(
            "[龙邦快递]\r\nPixelsPerInch=96\r\ncbb1Left=140\r\ncbb1TOP=76\r\ncbb1Width=200\r\n"
            "DefaultPixelsPerInch=144\r\nDefaultcbb1Left=210\r\n");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.field("cbb1")->geometry(), QRect(175, 95, 250, 26));
        // Fields without keys keep their place on paper: cbb2's design 347 at 120, exactly.
        QCOMPARE(form.field("cbb2")->x(), 347);
        QCOMPARE(form.field("cbb2")->height(), 26);
        form.field("cbb1")->setText("X");
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(qRound(printedAt(fx.printers, "X").x()), devicePixel(144 * 254.0 / 96));

        QTest::mouseDClick(form.pnlHidden, Qt::LeftButton);
        QTest::mouseClick(form.btnDefault, Qt::LeftButton);
        QCOMPARE(form.field("cbb1")->x(), 175);  // 210 at 144
        // The key the default set lacks: the 96-dpi Top of 76 re-expressed at 144 is 114.
        QCOMPARE(form.field("cbb1")->y(), 95);
        QCOMPARE(form.field("cbb1")->width(), 250);
    }

    void aFieldMovedOnA96DpiScreenIsStoredAtTheSetsResolution() {
        MainWindowFixture fx({"Office Laser"}, "Office Laser", 96.0);
        TEXPDPrintForm& form = fx.start();
        WaybillField* moved = form.field("cbb11");
        moved->move(moved->x() + 33, moved->y() - 7);
        const QPoint shown = moved->pos();
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(fx.value(kLongbang, "PixelsPerInch"), QString("120"));
        QCOMPARE(fx.value(kLongbang, "cbb11Left"), QString::number(qRound(shown.x() * 1.25)));
        QCOMPARE(fx.value(kLongbang, "cbb11TOP"), QString::number(qRound(shown.y() * 1.25)));
        // Unmoved fields keep their design values exactly, though 96 ÷ 120 does not divide them.
        QCOMPARE(fx.value(kLongbang, "cbb1Left"), QString("168"));
        QCOMPARE(fx.value(kLongbang, "cbb1TOP"), QString("87"));
        QCOMPARE(fx.value(kLongbang, "cbb3Width"), QString("244"));

        // "存为默认" records the default set's resolution.
        QTest::mouseDClick(form.pnlHidden, Qt::LeftButton);
        QTest::mouseClick(form.btnSaveDefault, Qt::LeftButton);
        QCOMPARE(fx.value(kLongbang, "DefaultPixelsPerInch"), QString("120"));
        QCOMPARE(fx.value(kLongbang, "Defaultcbb1Left"), QString("168"));

        // Back again after a courier switch, where the screen put it.
        chooseItem(form.cbbNames, QStringLiteral("顺丰快递"));
        chooseItem(form.cbbNames, kLongbang);
        QCOMPARE(form.field("cbb11")->pos(), shown);
    }

    void aCalibrationDraggedAt96PrintsTheSameAt120() {
        QString calibrated;
        QPointF at96;
        {
            MainWindowFixture fx({"Office Laser"}, "Office Laser", 96.0);
            TEXPDPrintForm& form = fx.start();
            WaybillField* f = form.field("cbb33");
            f->move(f->x() - 17, f->y() + 9);
            QTest::mouseClick(form.btnApply, Qt::LeftButton);
            f->setText("X");
            QTest::mouseClick(form.btnPrint, Qt::LeftButton);
            at96 = printedAt(fx.printers, "X");
            calibrated = fx.readSettings();
        }
        MainWindowFixture fx({"Office Laser"}, "Office Laser", 120.0);
        fx.writeSettings(calibrated);
        TEXPDPrintForm& form = fx.start();
        form.field("cbb33")->setText("X");
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(printedAt(fx.printers, "X"), at96);
    }

    void fiftyLoadSaveCyclesLeaveTheFileAsItWas_data() {
        QTest::addColumn<double>("screenDpi");
        QTest::addRow("96") << 96.0;
        QTest::addRow("120") << 120.0;
        QTest::addRow("144") << 144.0;
    }

    void fiftyLoadSaveCyclesLeaveTheFileAsItWas() {
        QFETCH(double, screenDpi);
        MainWindowFixture fx({"Office Laser"}, "Office Laser", screenDpi);
        fx.writeSettings(
            "[龙邦快递]\r\nPixelsPerInch=96\r\ncbb1Left=141\r\ncbb1TOP=71\r\n"
            "cbb3Width=197\r\ncbb44Left=433\r\n");
        TEXPDPrintForm& form = fx.start();
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(fx.value(kLongbang, "cbb1Left"), QString("141"));
        const QByteArray first = settingsBytes(fx);
        for (int cycle = 0; cycle < 50; ++cycle) {
            chooseItem(form.cbbNames, kLongbang);
            QTest::mouseClick(form.btnApply, Qt::LeftButton);
        }
        QCOMPARE(settingsBytes(fx), first);
        QVERIFY(fx.boxes.shown.isEmpty());
    }

    void printOffsetsMoveThePrintButNotTheFields() {
        MainWindowFixture fx({"Office Laser"}, "Office Laser", 96.0);
        fx.writeSettings("[龙邦快递]\r\nPrintOffsetX=50\r\nPrintOffsetY=-30\r\n");
        TEXPDPrintForm& form = fx.start();
        const QRect before = form.field("cbb1")->geometry();
        QCOMPARE(before.topLeft(), QPoint(qRound(168 * 0.8), qRound(87 * 0.8)));
        form.field("cbb1")->setText("X");
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        const QPointF moved = printedAt(fx.printers, "X");
        QCOMPARE(qRound(moved.x()), devicePixel(172 * 254.0 / 120 + 50));

        // Offsets read at the moment of printing: set to 0, the print goes back by exactly that.
        fx.writeSettings("[龙邦快递]\r\nPrintOffsetX=0\r\nPrintOffsetY=0\r\n");
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        const QPointF still = printedAt(fx.printers, "X");
        QCOMPARE(qRound(still.x()), devicePixel(172 * 254.0 / 120));
        QVERIFY(std::abs((moved.y() - still.y()) - (-30 * 180 / 254.0)) <= 1);
        QCOMPARE(form.field("cbb1")->geometry(), before);
    }
};

QTEST_MAIN(TestMainWindowResolution)
#include "tst_mainwindowresolution.moc"
