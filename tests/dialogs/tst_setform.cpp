#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QToolButton>
#include <QtTest>

#include "ModalDriver.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "app/WaybillFieldSpecs.h"
#include "dialogs/TSetForm.h"
#include "support/MainWindowFixture.h"
#include "template/ProfileFile.h"

namespace {
const QString kYuanzhi = QStringLiteral("元智捷诚");
const QString kLongbang = QStringLiteral("龙邦快递");
const QString kShunfeng = QStringLiteral("顺丰快递");

const char* const kVisibilityKeys[] = {"FHName",      "FHOrigin", "FHAddress", "FHTelephone",
                                       "FHCompany",   "SHName",   "SHOrigin",  "SHAddress",
                                       "SHTelephone", "SHCompany"};

// The names of the fields that are not hidden, in the table's order.
QStringList shownFields(TEXPDPrintForm& form) {
    QStringList shown;
    for (const WaybillFieldSpec& spec : waybillFieldSpecs())
        if (!form.field(spec.objectName())->isHidden()) shown << spec.objectName();
    return shown;
}

QStringList allFieldsBut(const QString& name) {
    QStringList names;
    for (const WaybillFieldSpec& spec : waybillFieldSpecs())
        if (spec.objectName() != name) names << spec.objectName();
    return names;
}

QStringList tickedFields(TSetForm& dialog) {
    QStringList ticked;
    for (const WaybillFieldSpec& spec : waybillFieldSpecs())
        if (dialog.checkBoxOf(spec.objectName())->isChecked()) ticked << spec.objectName();
    return ticked;
}

// The key lines of one section, in file order, as "key=value".
QStringList sectionLines(const QString& file, const QString& section) {
    QStringList lines;
    bool in = false;
    for (const QString& line : file.split(QRegularExpression("\r?\n"))) {
        if (line.startsWith('[')) {
            in = line == "[" + section + "]";
        } else if (in && line.contains('=')) {
            lines << line;
        }
    }
    return lines;
}
}  // namespace

class TestSetForm : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { ProfileFile::setBeforeCommitHookForTesting({}); }

    void layoutAndTexts() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        TSetForm dialog(form);
        QCOMPARE(dialog.parentWidget(), &form);
        QVERIFY(dialog.windowFlags() & Qt::Dialog);
        QCOMPARE(dialog.windowTitle(), QString("设置标签、默认快递单"));
        QCOMPARE(dialog.size(), QSize(429, 455));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());  // not resizable
        QCOMPARE(dialog.font().family(), QString("Tahoma"));
        QCOMPARE(dialog.font().pixelSize(), 11);

        QCOMPARE(dialog.Label1->text(), QString("设置标签在快递单上是否显示"));
        QCOMPARE(dialog.Label1->pos(), QPoint(40, 40));
        QCOMPARE(dialog.Label1->font().family(), QString("黑体"));
        QCOMPARE(dialog.Label1->font().pixelSize(), 16);
        QCOMPARE(dialog.Bevel1->geometry().topLeft(), QPoint(26, 62));
        QCOMPARE(dialog.Bevel1->width(), 353);
        QCOMPARE(dialog.Bevel2->geometry().topLeft(), QPoint(26, 438));
        QCOMPARE(dialog.Bevel2->width(), 367);

        QCOMPARE(dialog.grpFH->title(), QString("发货人信息"));
        QCOMPARE(dialog.grpFH->geometry(), QRect(56, 81, 137, 200));
        QCOMPARE(dialog.grpSH->title(), QString("收货人信息"));
        QCOMPARE(dialog.grpSH->geometry(), QRect(226, 85, 137, 200));
        struct Box {
            QCheckBox* box;
            QGroupBox* group;
            int top;
            const char* caption;
            const char* name;
        };
        const Box boxes[] = {
            {dialog.chk5, dialog.grpFH, 32, "发货单位", "chk5"},
            {dialog.chk1, dialog.grpFH, 64, "发货人", "chk1"},
            {dialog.chk2, dialog.grpFH, 96, "始发地", "chk2"},
            {dialog.chk3, dialog.grpFH, 128, "发货地址", "chk3"},
            {dialog.chk4, dialog.grpFH, 159, "发货电话", "chk4"},
            {dialog.chk55, dialog.grpSH, 32, "收货单位", "chk55"},
            {dialog.chk11, dialog.grpSH, 64, "收货人", "chk11"},
            {dialog.chk22, dialog.grpSH, 96, "目的地", "chk22"},
            {dialog.chk33, dialog.grpSH, 128, "收货地址", "chk33"},
            {dialog.chk44, dialog.grpSH, 159, "收货电话", "chk44"},
        };
        for (const Box& b : boxes) {
            QVERIFY2(b.box, b.name);
            QCOMPARE(b.box->objectName(), QString(b.name));
            QCOMPARE(b.box->parentWidget(), b.group);
            QCOMPARE(b.box->pos(), QPoint(23, b.top));
            QCOMPARE(b.box->text(), QString::fromUtf8(b.caption));
            // The caption fits its box.
            QVERIFY(b.box->sizeHint().width() <= b.box->width());
        }
        QCOMPARE(dialog.checkBoxOf("cbb22"), dialog.chk22);

        QCOMPARE(dialog.Label2->text(), QString("说明：多选框选中项，是在快递单上显示的标签。"));
        QCOMPARE(dialog.Label2->pos(), QPoint(56, 296));
        QCOMPARE(dialog.Label2->width(), 144);
        QVERIFY(dialog.Label2->wordWrap());
        QCOMPARE(dialog.Label2->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(dialog.Label2->height() >= dialog.Label2->heightForWidth(144));

        QCOMPARE(dialog.Button1->text(), QString("保存更改"));
        QCOMPARE(dialog.Button1->geometry(), QRect(288, 304, 75, 25));
        QCOMPARE(dialog.GroupBox1->title(), QString("设置默认快递单"));
        QCOMPARE(dialog.GroupBox1->geometry(), QRect(56, 335, 323, 81));
        QCOMPARE(dialog.cbbNames->parentWidget(), dialog.GroupBox1);
        QCOMPARE(dialog.cbbNames->pos(), QPoint(26, 33));
        QCOMPARE(dialog.cbbNames->width(), 182);
        QCOMPARE(dialog.cbbNames->toolTip(), QString("选择快递单品种"));
        QVERIFY(!dialog.cbbNames->isEditable());
        QCOMPARE(dialog.Button2->text(), QString("保存默认"));
        QCOMPARE(dialog.Button2->parentWidget(), dialog.GroupBox1);
        QCOMPARE(dialog.Button2->geometry(), QRect(232, 32, 75, 25));

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Centred on the main window. Without a window manager Qt guesses a 10 x 40 frame
        // around the dialog, so allow for that.
        const QPoint offCentre = dialog.frameGeometry().center() - form.frameGeometry().center();
        QVERIFY2(qAbs(offCentre.x()) <= 10 && qAbs(offCentre.y()) <= 40,
                 qPrintable(QString("%1, %2").arg(offCentre.x()).arg(offCentre.y())));
    }

    void showingFillsTheListAndPreselectsTheStartCourier() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        {
            TSetForm dialog(form);
            dialog.show();
            QCOMPARE(dialog.cbbNames->count(), 3);
            for (int i = 0; i < 3; ++i)
                QCOMPARE(dialog.cbbNames->itemText(i), form.cbbNames->itemText(i));
            // No key in the file: the default start courier.
            QCOMPARE(dialog.cbbNames->currentText(), kLongbang);
            QVERIFY(dialog.Button2->isEnabled());
            // No flags in the file: every box ticked.
            QCOMPARE(tickedFields(dialog).size(), 10);
        }
        ProfileFile(fx.folders.settingsFile())
            .writeString("DefaultExpress", "DefaultExpressD", kShunfeng);
        TSetForm dialog(form);
        dialog.show();
        QCOMPARE(dialog.cbbNames->currentText(), kShunfeng);
        QCOMPARE(form.cbbNames->currentText(), kLongbang);  // the main window shows its own
        QVERIFY(fx.boxes.shown.isEmpty());
    }

    void boxesShowTheFilesFlagsNotTheFieldsPresentVisibility() {
        MainWindowFixture fx;
        fx.writeSettings("[龙邦快递]\r\nFHOrigin=0\r\nSHCompany=0\r\nSHName=2\r\n");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(shownFields(form).size(), 8);
        QVERIFY(form.field("cbb2")->isHidden());
        QVERIFY(form.field("cbb55")->isHidden());

        // "加载默认" shows every field (the default set has no flags); the file still says no.
        QTest::mouseDClick(form.pnlHidden, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(form.btnDefault, Qt::LeftButton);
        QCOMPARE(shownFields(form).size(), 10);
        // And a field hidden by hand whose flag says shown.
        form.field("cbb4")->hide();

        TSetForm dialog(form);
        dialog.show();
        QVERIFY(!dialog.chk2->isChecked());
        QVERIFY(!dialog.chk55->isChecked());
        QVERIFY(dialog.chk4->isChecked());
        QVERIFY(dialog.chk11->isChecked());  // 2 is true
        QCOMPARE(tickedFields(dialog).size(), 8);
        // Showing the dialog changes nothing on the page.
        QVERIFY(!form.field("cbb2")->isHidden());
        QVERIFY(form.field("cbb4")->isHidden());
    }

    void clearingOriginAndSavingHidesItNowAndOnEveryLoadOfThatTemplateOnly() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.currentTemplate(), kLongbang);
        QCOMPARE(shownFields(form).size(), 10);

        auto driven = driveNextModal<TSetForm>([&](TSetForm& dialog) {
            QCOMPARE(dialog.parentWidget(), &form);
            QVERIFY(dialog.chk2->isChecked());
            clickBox(dialog.chk2);
            QVERIFY(!dialog.chk2->isChecked());
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
            QVERIFY(!dialog.isVisible());  // the button closed it
        });
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QVERIFY(*driven);
        QVERIFY(!form.findChild<TSetForm*>());  // destroyed when it closed

        // At once.
        QCOMPARE(shownFields(form), allFieldsBut("cbb2"));
        QCOMPARE(fx.boxes.texts(), QStringList{"标签设置完成！"});
        QCOMPARE(fx.boxes.shown.first().icon, MessageBoxes::Icon::Information);
        QCOMPARE(fx.boxes.shown.first().buttons, MessageBoxes::Buttons::Ok);
        QCOMPARE(fx.value(kLongbang, "FHOrigin"), QString("0"));
        QCOMPARE(fx.value(kLongbang, "FHName"), QString("1"));

        // Another template is not affected, and the same one hides it again.
        chooseItem(form.cbbNames, kShunfeng);
        QCOMPARE(shownFields(form).size(), 10);
        chooseItem(form.cbbNames, kYuanzhi);
        QCOMPARE(shownFields(form).size(), 10);
        chooseItem(form.cbbNames, kLongbang);
        QCOMPARE(shownFields(form), allFieldsBut("cbb2"));
        for (const char* key : kVisibilityKeys) {
            QVERIFY(fx.value(kShunfeng, key).isEmpty());
            QVERIFY(fx.value(kYuanzhi, key).isEmpty());
        }

        // On the next start too.
        TEXPDPrintForm& again = fx.start();
        QCOMPARE(again.currentTemplate(), kLongbang);
        QCOMPARE(shownFields(again), allFieldsBut("cbb2"));
    }

    void savingWritesTheTenKeysInTheDialogsOrder() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        TSetForm dialog(form);
        dialog.show();
        clickBox(dialog.chk44);
        clickBox(dialog.chk5);
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);

        // The courier switch wrote its font keys; the ten flags follow in writing order.
        QStringList lines = sectionLines(fx.readSettings(), kLongbang);
        QVERIFY(lines.size() >= 10);
        QVERIFY(lines.first().startsWith("Textfont"));
        QCOMPARE(
            lines.mid(lines.size() - 10),
            (QStringList{"FHCompany=0", "FHName=1", "FHAddress=1", "FHTelephone=1", "FHOrigin=1",
                         "SHCompany=1", "SHName=1", "SHAddress=1", "SHTelephone=0", "SHOrigin=1"}));
        QCOMPARE(shownFields(form),
                 (QStringList{"cbb1", "cbb2", "cbb3", "cbb4", "cbb11", "cbb22", "cbb33", "cbb55"}));
        QVERIFY(dialog.result() == QDialog::Accepted);

        // Ticking them again brings the fields back, with the text they kept.
        form.field("cbb44")->setText("021-5555");
        TSetForm second(form);
        second.show();
        QVERIFY(!second.chk44->isChecked());
        clickBox(second.chk44);
        clickBox(second.chk5);
        QTest::mouseClick(second.Button1, Qt::LeftButton);
        QCOMPARE(shownFields(form).size(), 10);
        QCOMPARE(form.field("cbb44")->text(), QString("021-5555"));
        QCOMPARE(fx.value(kLongbang, "SHTelephone"), QString("1"));
    }

    void unwritableSettingsFileShowsItsErrorAndKeepsTheDialogOpen() {
        MainWindowFixture fx;
        fx.writeSettings("[龙邦快递]\r\nFHName=1\r\n");
        TEXPDPrintForm& form = fx.start();
        const QString before = fx.readSettings();

        auto driven = driveNextModal<TSetForm>([&](TSetForm& dialog) {
            ProfileFile::setBeforeCommitHookForTesting(
                [](QSaveFile& file) { file.cancelWriting(); });
            clickBox(dialog.chk2);
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
            QCOMPARE(fx.boxes.texts(),
                     QStringList{"Unable to write to " + fx.folders.settingsFile()});
            QCOMPARE(fx.boxes.shown.first().icon, MessageBoxes::Icon::Error);
            // The rest of the handler was skipped: still open, the field still shown.
            QVERIFY(dialog.isVisible());
            QVERIFY(!form.field("cbb2")->isHidden());
            QCOMPARE(fx.readSettings(), before);

            // "保存默认" fails the same way and stays open too.
            QTest::mouseClick(dialog.Button2, Qt::LeftButton);
            QCOMPARE(fx.boxes.texts().size(), 2);
            QVERIFY(dialog.isVisible());

            // Once the file can be written again, the same click does it all.
            ProfileFile::setBeforeCommitHookForTesting({});
            fx.boxes.clear();
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
            QCOMPARE(fx.boxes.texts(), QStringList{"标签设置完成！"});
            QVERIFY(!dialog.isVisible());
        });
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QVERIFY(*driven);
        QVERIFY(form.field("cbb2")->isHidden());
    }

    void titleBarCloseSavesNothing() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        const QString before = fx.readSettings();
        auto driven = driveNextModal<TSetForm>([&](TSetForm& dialog) {
            clickBox(dialog.chk2);
            clickBox(dialog.chk33);
            chooseItem(dialog.cbbNames, kShunfeng);
            dialog.close();  // what the title bar's close box does
            QVERIFY(!dialog.isVisible());
        });
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QVERIFY(*driven);
        QCOMPARE(fx.readSettings(), before);
        QCOMPARE(shownFields(form).size(), 10);
        QVERIFY(fx.boxes.shown.isEmpty());
    }

    void enterOnACheckBoxSavesNothing() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        const QString before = fx.readSettings();
        auto driven = driveNextModal<TSetForm>([&](TSetForm& dialog) {
            clickBox(dialog.chk2);
            QCOMPARE(QApplication::focusWidget(), dialog.chk2);
            QTest::keyClick(dialog.chk2, Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            QCOMPARE(fx.readSettings(), before);
            // Space on a focused button presses it.
            dialog.Button1->setFocus();
            QTest::keyClick(dialog.Button1, Qt::Key_Space);
            QVERIFY(!dialog.isVisible());
        });
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QVERIFY(*driven);
        QCOMPARE(fx.value(kLongbang, "FHOrigin"), QString("0"));
    }

    void saveDefaultStoresTheStartCourierAndCloses() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        auto driven = driveNextModal<TSetForm>([&](TSetForm& dialog) {
            clickBox(dialog.chk2);  // not saved by this button
            chooseItem(dialog.cbbNames, kShunfeng);
            QTest::mouseClick(dialog.Button2, Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        });
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QVERIFY(*driven);
        QCOMPARE(fx.boxes.texts(), QStringList{"快递默认完成！"});
        QCOMPARE(fx.boxes.shown.first().icon, MessageBoxes::Icon::Information);
        QCOMPARE(fx.value("DefaultExpress", "DefaultExpressD"), kShunfeng);
        QVERIFY(fx.value(kLongbang, "FHOrigin").isEmpty());
        QCOMPARE(shownFields(form).size(), 10);
        // The courier shown does not change now; the next start opens the new one.
        QCOMPARE(form.currentTemplate(), kLongbang);
        QCOMPARE(fx.start().currentTemplate(), kShunfeng);
    }

    void saveDefaultCannotStoreAnEmptyStartCourier() {
        MainWindowFixture fx;
        fx.writeSettings("[DefaultExpress]\r\nDefaultExpressD=中通快递\r\n");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbNames->currentIndex(), -1);
        const QString before = fx.readSettings();

        auto driven = driveNextModal<TSetForm>([&](TSetForm& dialog) {
            // The stored name is no item: nothing selected, and the button is off.
            QCOMPARE(dialog.cbbNames->currentIndex(), -1);
            QVERIFY(!dialog.Button2->isEnabled());
            QTest::mouseClick(dialog.Button2, Qt::LeftButton);
            dialog.Button2Click();  // even when called directly it writes nothing
            QVERIFY(dialog.isVisible());
            QVERIFY(fx.boxes.shown.isEmpty());
            QCOMPARE(fx.readSettings(), before);
            // Picking a courier brings it to life.
            chooseItem(dialog.cbbNames, kYuanzhi);
            QVERIFY(dialog.Button2->isEnabled());
            QTest::mouseClick(dialog.Button2, Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        });
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QVERIFY(*driven);
        QCOMPARE(fx.value("DefaultExpress", "DefaultExpressD"), kYuanzhi);
        QCOMPARE(fx.boxes.texts(), QStringList{"快递默认完成！"});
    }

    void withNoCourierShownTheFlagsGoNowhereButTheFieldsFollow() {
        MainWindowFixture fx;
        fx.writeSettings("[DefaultExpress]\r\nDefaultExpressD=\r\n");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.currentTemplate(), QString());
        QCOMPARE(shownFields(form).size(), 0);  // the picture fall-back hid them
        TSetForm dialog(form);
        dialog.show();
        QCOMPARE(tickedFields(dialog).size(), 10);
        clickBox(dialog.chk1);
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        QCOMPARE(shownFields(form), allFieldsBut("cbb1"));
        QVERIFY(!fx.readSettings().contains("[]"));
        QVERIFY(!fx.readSettings().contains("FHName"));
    }

    void aDeletedFieldKeepsItsFlagButIsNotTouched() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        delete form.field("cbb3");
        QVERIFY(!form.field("cbb3"));
        TSetForm dialog(form);
        dialog.show();
        clickBox(dialog.chk3);
        clickBox(dialog.chk4);
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        QCOMPARE(fx.boxes.texts(), QStringList{"标签设置完成！"});
        QCOMPARE(fx.value(kLongbang, "FHAddress"), QString("0"));
        QVERIFY(form.field("cbb4")->isHidden());
        QVERIFY(!form.field("cbb5")->isHidden());
    }
};

QTEST_MAIN(TestSetForm)
#include "tst_setform.moc"
