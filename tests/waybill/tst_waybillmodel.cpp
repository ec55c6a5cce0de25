// The waybill model without a window: a template set read from and written to the settings
// file, and the composition of a template and its texts into print items in 0.1 mm.
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QtTest>

#include "platform/AppError.h"
#include "support/TestSupport.h"
#include "template/ProfileFile.h"
#include "waybill/TemplateSetFile.h"
#include "waybill/WaybillComposition.h"

namespace {
const QString kCourier = QStringLiteral("龙邦快递");

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QString& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

const WaybillPrintItem* itemNamed(const QList<WaybillPrintItem>& items, const QString& name) {
    for (const WaybillPrintItem& item : items)
        if (item.name == name) return &item;
    return nullptr;
}

TemplateSet readWorkingSet(const QString& path) {
    return readTemplateSet(ProfileFile(path), kCourier, false, WaybillTemplate::designed(),
                           QStringLiteral("Office Laser"));
}

// The width the fit test is about: the main window's face at the point size, at P.
int textWidthAt(const QString& text, int pointSize, int pixelsPerInch) {
    QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    device.setDotsPerMeterX(qRound(pixelsPerInch / 0.0254));
    device.setDotsPerMeterY(qRound(pixelsPerInch / 0.0254));
    QFont face(QStringLiteral("Tahoma"));
    face.setPointSize(pointSize);
    return QFontMetrics(face, &device).horizontalAdvance(text);
}

// The design layout's numbers taken as a set made at `pixelsPerInch`.
WaybillTemplate designedAt(int pixelsPerInch) {
    WaybillTemplate layout = WaybillTemplate::designed();
    layout.pixelsPerInch = pixelsPerInch;
    for (TemplateField& f : layout.fields) f.pixelsPerInch = pixelsPerInch;
    return layout;
}

// What the main window does between a load and a save at R when nothing is moved: it shows each
// coordinate at its scaled place and reads it back from there.
WaybillTemplate shownAndReadBack(const WaybillTemplate& loaded, double screenDpi) {
    WaybillTemplate back = loaded;
    for (TemplateField& f : back.fields) {
        const int p = f.pixelsPerInch;
        for (int TemplateField::*member :
             {&TemplateField::left, &TemplateField::top, &TemplateField::width}) {
            const int shown = screenFromDesign(f.*member, p, screenDpi);
            f.*member = designValueShownAt(f.*member, shown, p, screenDpi);
        }
    }
    return back;
}
}  // namespace

class TestWaybillModel : public QObject {
    Q_OBJECT
  private slots:
    void aSetWithoutResolutionIsMadeAt120AndPrintsWhereItAlwaysDid() {
        TestFolders folders;
        writeFile(folders.settingsFile(),
                  "[龙邦快递]\r\ncbb1Left=168\r\ncbb1TOP=87\r\nFontSize=12\r\nSHOrigin=0\r\n");
        const TemplateSet set = readWorkingSet(folders.settingsFile());
        QCOMPARE(set.layout.pixelsPerInch, 120);
        QCOMPARE(set.layout.fontSize, 12);
        QCOMPARE(set.layout.printerName, QString("Office Laser"));

        WaybillTexts texts{{"cbb1", "X"}, {"cbb22", "hidden"}};
        const auto items = composeWaybill(set.layout, texts);
        QCOMPARE(items.size(), 10);
        // cbb1's item at design pixel (172, 91) of a 120-dpi layout.
        const WaybillPrintItem* sender = itemNamed(items, "lbl1");
        QVERIFY(sender);
        QCOMPARE(sender->left, 172 * 254.0 / 120);
        QCOMPARE(sender->top, 91 * 254.0 / 120);
        QCOMPARE(sender->caption, QString("X"));
        QCOMPARE(sender->fontSize, 12);
        // Item names follow the band's start-up order: cbb5 is the band's ninth child.
        const WaybillPrintItem* company = itemNamed(items, "lbl9");
        QVERIFY(company);
        QCOMPARE(company->left, (147 + 4) * 254.0 / 120);
        // A hidden field still has its item, with nothing to print.
        const WaybillPrintItem* destination = itemNamed(items, "lbl6");
        QVERIFY(destination);
        QVERIFY(destination->caption.isEmpty());
        // An unfilled field prints nothing, never its caption.
        QVERIFY(itemNamed(items, "lbl2")->caption.isEmpty());
    }

    void aSetMadeAt96PrintsAtTheSamePlaceOnPaperAsItsTwinAt120() {
        TestFolders folders;
        // Item 144 px at 96 dpi is item 180 px at 120 dpi, 4 design pixels right of the field.
        writeFile(folders.settingsFile(),
                  "[龙邦快递]\r\nPixelsPerInch=96\r\ncbb1Left=140\r\ncbb1TOP=76\r\n"
                  "cbb1Width=200\r\ncbb3Left=100\r\n");
        const TemplateSet at96 = readWorkingSet(folders.settingsFile());
        QCOMPARE(at96.layout.pixelsPerInch, 96);
        writeFile(folders.settingsFile(),
                  "[龙邦快递]\r\ncbb1Left=176\r\ncbb1TOP=96\r\ncbb1Width=250\r\n");
        const TemplateSet at120 = readWorkingSet(folders.settingsFile());

        const WaybillTexts texts{{"cbb1", "X"}};
        const WaybillPrintItem a = *itemNamed(composeWaybill(at96.layout, texts), "lbl1");
        const WaybillPrintItem b = *itemNamed(composeWaybill(at120.layout, texts), "lbl1");
        // The 4-pixel step is a design pixel too: (140 + 4) × 254 ÷ 96 = 381.0 = 180 × 254 ÷ 120.
        QCOMPARE(a.left, 381.0);
        QCOMPARE(b.left, 381.0);
        QCOMPARE(a.top, b.top);
        QCOMPARE(at96.layout.field("cbb1")->pixelsPerInch, 96);
        // A field without keys keeps its design place and the resolution it was made at.
        const TemplateField* origin = at96.layout.field("cbb2");
        QCOMPARE(origin->left, 347);
        QCOMPARE(origin->pixelsPerInch, 120);
        // A field with some keys is the set's: the keys it lacks are re-expressed at 96, so
        // cbb3's Top of 180 at 120 is 144, its height of 26 is 21 (20.8).
        const TemplateField* address = at96.layout.field("cbb3");
        QCOMPARE(address->pixelsPerInch, 96);
        QCOMPARE(address->left, 100);
        QCOMPARE(address->top, 144);
        QCOMPARE(address->width, 195);  // 244 × 0.8 = 195.2
        QCOMPARE(address->height, 21);
        // A save writes every field at the set's resolution: cbb2 at 96 for the first time.
        ProfileFile ini(folders.settingsFile());
        TemplateSet saved = at96;
        saved.layout.courier = kCourier;
        writeTemplateSet(ini, false, saved);
        QCOMPARE(ini.readString(kCourier, "cbb2Left", {}), QString("278"));  // 277.6
        QCOMPARE(ini.readString(kCourier, "cbb3TOP", {}), QString("144"));
        QCOMPARE(ini.readString(kCourier, "cbb1Left", {}), QString("140"));
    }

    void theFitTestIsInDesignPixelsOfTheTemplate() {
        for (int p : {96, 120, 144}) {
            WaybillTemplate layout = designedAt(p);
            layout.fontSize = 12;
            const QString text = QStringLiteral("北京市朝阳区建国路88号");
            const int textWidth = textWidthAt(text, 12, p);
            layout.field("cbb3")->width = textWidth + 20;
            layout.field("cbb33")->width = textWidth + 19;
            layout.field("cbb33")->height = 25;
            const auto items =
                composeWaybill(layout, {{"cbb3", text}, {"cbb33", text}, {"cbb1", ""}});
            QVERIFY2(!itemNamed(items, "lbl3")->fixedBox, qPrintable(QString::number(p)));
            const WaybillPrintItem* boxed = itemNamed(items, "lbl7");
            QVERIFY2(boxed->fixedBox, qPrintable(QString::number(p)));
            QCOMPARE(boxed->width, (textWidth + 19) * 254.0 / p);
            QCOMPARE(boxed->height, 75 * 254.0 / p);
            QCOMPARE(boxed->caption, text);
            // An empty text fits any field of more than 20 pixels.
            QVERIFY(!itemNamed(items, "lbl1")->fixedBox);
        }
    }

    void printOffsetsMoveEveryItemOnPaper() {
        TestFolders folders;
        writeFile(folders.settingsFile(),
                  "[龙邦快递]\r\nPrintOffsetX=-15\r\nPrintOffsetY=23\r\n[顺丰快递]\r\n"
                  "PrintOffsetX=99\r\n");
        const TemplateSet set = readWorkingSet(folders.settingsFile());
        QCOMPARE(set.layout.printOffsetX, -15);
        QCOMPARE(set.layout.printOffsetY, 23);
        const TemplateSet defaults = readTemplateSet(ProfileFile(folders.settingsFile()), kCourier,
                                                     true, WaybillTemplate::designed(), QString());
        QCOMPARE(defaults.layout.printOffsetX, -15);  // one pair per courier, for both sets

        WaybillTemplate still = set.layout;
        still.printOffsetX = 0;
        still.printOffsetY = 0;
        const auto moved = composeWaybill(set.layout, {});
        const auto unmoved = composeWaybill(still, {});
        QCOMPARE(moved.size(), unmoved.size());
        for (int i = 0; i < moved.size(); ++i) {
            QCOMPARE(moved[i].left, unmoved[i].left - 15);
            QCOMPARE(moved[i].top, unmoved[i].top + 23);
        }
    }

    void noFontSizeIsAnError() {
        WaybillTemplate layout = WaybillTemplate::designed();
        layout.fontSize = 0;
        QVERIFY_THROWS_EXCEPTION(AppError, composeWaybill(layout, {}));
    }

    void aSaveRecordsTheResolutionAfterTheOldKeys() {
        TestFolders folders;
        TemplateSet set;
        set.layout = designedAt(96);
        set.layout.courier = kCourier;
        set.layout.printerName = "PDF";
        set.layout.fontName = "宋体";
        set.heightText = "128";
        set.widthText = "230";
        set.fontSizeText = "10";
        ProfileFile ini(folders.settingsFile());
        writeTemplateSet(ini, false, set);
        writeTemplateSet(ini, true, set);
        QCOMPARE(ini.readString(kCourier, "PixelsPerInch", {}), QString("96"));
        QCOMPARE(ini.readString(kCourier, "DefaultPixelsPerInch", {}), QString("96"));
        QCOMPARE(ini.readString(kCourier, "cbb5Left", {}), QString("147"));
        QCOMPARE(ini.readString(kCourier, "Defaultcbb22Width", {}), QString("80"));
        // Visibility and the offsets are never written by a save.
        QVERIFY(ini.readString(kCourier, "FHName", {}).isEmpty());
        QVERIFY(ini.readString(kCourier, "PrintOffsetX", {}).isEmpty());
        const QString text = QString::fromUtf8(fileBytes(folders.settingsFile()));
        QVERIFY(text.indexOf("cbb55Width=") < text.indexOf("PixelsPerInch=96"));
        QVERIFY(text.indexOf("FontSize=10") < text.indexOf("cbb1TOP="));
    }

    void fiftyLoadSaveCyclesChangeNothing_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("screenDpi");
        const QString made120 =
            "[龙邦快递]\r\ncbb1Left=167\r\ncbb1TOP=87\r\ncbb3Width=243\r\ncbb55Left=-5\r\n";
        const QString made96 = made120 + "PixelsPerInch=96\r\n";
        for (double r : {96.0, 120.0, 144.0}) {
            QTest::addRow("P120 R%g", r) << made120 << r;
            QTest::addRow("P96 R%g", r) << made96 << r;
        }
    }

    void fiftyLoadSaveCyclesChangeNothing() {
        QFETCH(QString, file);
        QFETCH(double, screenDpi);
        TestFolders folders;
        writeFile(folders.settingsFile(), file);
        // The first save writes every key; from then on the file must stay byte for byte.
        TemplateSet set = readWorkingSet(folders.settingsFile());
        ProfileFile ini(folders.settingsFile());
        writeTemplateSet(ini, false, set);
        const QByteArray first = fileBytes(folders.settingsFile());
        const TemplateField cbb1 = *set.layout.field("cbb1");
        for (int cycle = 0; cycle < 50; ++cycle) {
            set = readTemplateSet(ini, kCourier, false, set.layout, "Office Laser");
            set.layout = shownAndReadBack(set.layout, screenDpi);
            writeTemplateSet(ini, false, set);
        }
        QCOMPARE(fileBytes(folders.settingsFile()), first);
        QCOMPARE(set.layout.field("cbb1")->left, cbb1.left);
        QCOMPARE(set.layout.field("cbb55")->left, -5);
    }

    void aMovedCoordinateIsConvertedOnceAndThenStays() {
        for (double r : {96.0, 144.0}) {
            // Stored 167 at 120; the user drags the field to screen pixel 201.
            const int design = designValueShownAt(167, 201, 120, r);
            QCOMPARE(design, qRound(201 * 120 / r));
            int value = design;
            for (int cycle = 0; cycle < 50; ++cycle)
                value = designValueShownAt(value, screenFromDesign(value, 120, r), 120, r);
            QCOMPARE(value, design);
        }
        // Unmoved: the stored value, even where converting back would round elsewhere.
        QCOMPARE(designValueShownAt(167, screenFromDesign(167, 120, 144), 120, 144), 167);
        QCOMPARE(designFromScreen(screenFromDesign(167, 120, 96), 120, 96), 168);
    }

    void aBrokenResolutionCountsAsUnrecorded() {
        TestFolders folders;
        writeFile(folders.settingsFile(), "[龙邦快递]\r\nPixelsPerInch=0\r\n");
        QCOMPARE(readWorkingSet(folders.settingsFile()).layout.pixelsPerInch, 120);
        writeFile(folders.settingsFile(), "[龙邦快递]\r\nPixelsPerInch=abc\r\n");
        QCOMPARE(readWorkingSet(folders.settingsFile()).layout.pixelsPerInch, 120);
    }
};

QTEST_MAIN(TestWaybillModel)
#include "tst_waybillmodel.moc"
