#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "layout/WindowsFaceNames.h"
#include "support/MainWindowFixture.h"

namespace {
const QString kSongFace = QStringLiteral("AR PL UMing CN");

QStringList entries(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
    return texts;
}

QString resolvedFamily(const QString& face) {
    QFont font;
    font.setFamilies({face});
    return QFontInfo(font).family();
}
}  // namespace

class TestSongFace : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QVERIFY2(QFontDatabase::hasFamily(kSongFace), "scripts/install-deps.sh installs it");
    }

    void windowsFaceNamesStandForInstalledFacesOfTheirStyle() {
        const QStringList resolved = WindowsFaceNames::installSubstitutes();
        for (const char* name :
             {"宋体", "SimSun", "新宋体", "NSimSun", "黑体", "SimHei", "楷体", "仿宋", "微软雅黑"})
            QVERIFY2(resolved.contains(QString::fromUtf8(name)), name);
        QCOMPARE(resolvedFamily("宋体"), kSongFace);
        QCOMPARE(resolvedFamily("simsun"), kSongFace);
        QCOMPARE(resolvedFamily("NSimSun"), kSongFace);
        QVERIFY(resolvedFamily("黑体").startsWith("WenQuanYi"));
        QVERIFY(resolvedFamily("微软雅黑").startsWith("WenQuanYi"));
        QCOMPARE(resolvedFamily("楷体"), QString("AR PL UKai CN"));
        // Installing twice adds nothing.
        const QStringList once = QFont::substitutes("宋体");
        WindowsFaceNames::installSubstitutes();
        QCOMPARE(QFont::substitutes("宋体"), once);
        QCOMPARE(once.first().toLower(), kSongFace.toLower());
        QVERIFY(WindowsFaceNames::standInsFor("Tahoma").isEmpty());
    }

    void theFacePickerOffersAndSelectsSongAtFirstStartAndSavesIt() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QVERIFY(entries(form.cbbTextfontname).contains("宋体"));
        QCOMPARE(form.cbbTextfontname->currentText(), QString("宋体"));
        for (WaybillField* f : form.bandFields())
            QCOMPARE(QFontInfo(f->font()).family(), kSongFace);

        QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {},
                          form.btnApply->mapTo(&form, form.btnApply->rect().center()));
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        QCOMPARE(fx.value(form.cbbNames->currentText(), "FontName"), QString("宋体"));
    }

    void theFieldsPrintInTheSongFace() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        form.field("cbb1")->setText("张三");
        QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {},
                          form.btnPrint->mapTo(&form, form.btnPrint->rect().center()));
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        QCOMPARE(fx.printers.documents.size(), 1);
        bool found = false;
        for (const auto& text : fx.printers.documents.first().pages.first().texts) {
            if (text.text != "张三") continue;
            found = true;
            QCOMPARE(QFontInfo(text.font).family(), kSongFace);
        }
        QVERIFY(found);
    }

    void aFamilyFromSeveralFoundriesIsListedOnce() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        const QStringList listed = entries(form.cbbTextfontname);
        static const QRegularExpression foundry(R"( \[[^\]]+\]$)");
        for (const QString& family : QFontDatabase::families()) {
            const QString plain = QString(family).remove(foundry);
            QVERIFY2(listed.count(plain) == 1, qPrintable(family));
        }
        QVERIFY(listed.filter(foundry).isEmpty());
        QStringList once = listed;
        QCOMPARE(once.removeDuplicates(), 0);
    }
};

QTEST_MAIN(TestSongFace)
#include "tst_songface.moc"
