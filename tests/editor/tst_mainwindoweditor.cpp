#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRubberBand>
#include <QWindow>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "editor/ControlClassRegistry.h"
#include "editor/TControlEdit.h"
#include "editor/TSizeFrame.h"
#include "printing/engine/TReportBand.h"
#include "support/MainWindowFixture.h"

// The layout editor as the main window uses it, over the waybill band.
class TestMainWindowEditor : public QObject {
    Q_OBJECT

    static void press(TEXPDPrintForm& form, QWidget* w, QPoint p) {
        QTest::mousePress(form.windowHandle(), Qt::LeftButton, {}, w->mapTo(&form, p));
    }
    static void release(TEXPDPrintForm& form, QWidget* w, QPoint p) {
        QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {}, w->mapTo(&form, p));
    }
    static void click(TEXPDPrintForm& form, QWidget* w, QPoint p) {
        press(form, w, p);
        release(form, w, p);
    }
    static void key(TEXPDPrintForm& form, int k, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(form.windowHandle(), Qt::Key(k), mods);
    }

  private slots:
    void theEditorIsSetUpOffOverTheBand() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        TControlEdit* edit = form.ControlEdit1;
        QVERIFY(edit);
        QCOMPARE(edit->objectName(), QString("ControlEdit1"));
        QCOMPARE(edit->EditControl(), static_cast<QWidget*>(form.DetailBand1));
        QVERIFY(!edit->Enable());
        QVERIFY(edit->CopyPasteKey());
        QVERIFY(edit->DelKey());
        QCOMPARE(edit->MutiSelKey(), ckCtrl);
        QVERIFY(ControlClassRegistry::isCreatable("WaybillField"));
        QVERIFY(ControlClassRegistry::isCreatable("QLabel"));

        // Off: a click reaches the field.
        WaybillField* cbb1 = form.field("cbb1");
        click(form, cbb1, QPoint(20, 10));
        QCOMPARE(edit->ChildCount(), 0);
        QVERIFY(cbb1->hasFocus());
    }

    void checkBox1SwitchesDraggingOnAndOff() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        QVERIFY(form.ControlEdit1->Enable());

        WaybillField* cbb1 = form.field("cbb1");
        QCOMPARE(cbb1->geometry(), QRect(168, 87, 81, 26));
        press(form, cbb1, QPoint(20, 10));
        for (int i = 1; i <= 4; ++i)
            QTest::mouseMove(form.windowHandle(),
                             cbb1->mapTo(&form, QPoint(20 + 4 * i, 10 + 2 * i)));
        release(form, cbb1, QPoint(36, 18));
        QCOMPARE(form.ControlEdit1->Selected(), cbb1);
        QCOMPARE(cbb1->pos(), QPoint(184, 95));
        QVERIFY(form.findChildren<QRubberBand*>().isEmpty());

        // The position is what "保存更改" stores.
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(fx.value(form.currentTemplate(), "cbb1Left"), QString("184"));
        QCOMPARE(fx.value(form.currentTemplate(), "cbb1TOP"), QString("95"));

        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        QVERIFY(!form.ControlEdit1->Enable());
        QCOMPARE(form.ControlEdit1->ChildCount(), 0);

        // The calibration holds across a restart of the program.
        TEXPDPrintForm& restarted = fx.start();
        QCOMPARE(restarted.field("cbb1")->pos(), QPoint(184, 95));
    }

    void aPressBesideTheFieldsSelectsThePicture() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        click(form, form.DetailBand1, QPoint(20, 20));
        QCOMPARE(form.ControlEdit1->Selected(), static_cast<QWidget*>(form.Image1));
        QVERIFY(!form.ControlEdit1->DrawingRubberBand());
    }

    void pastedFieldsTakeFontChangesAndAreNotSaved() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        WaybillField* cbb3 = form.field("cbb3");
        cbb3->setText(QString::fromUtf8("北京市海淀区"));
        click(form, cbb3, QPoint(20, 10));
        key(form, Qt::Key_C, Qt::ControlModifier);
        click(form, form.DetailBand1, QPoint(20, 20));  // the picture: paste into the band
        key(form, Qt::Key_V, Qt::ControlModifier);

        WaybillField* copy = form.field("ComboBox1");
        QVERIFY(copy);
        QCOMPARE(copy->parentWidget(), static_cast<QWidget*>(form.DetailBand1));
        QCOMPARE(copy->geometry(), cbb3->geometry());
        QCOMPARE(copy->text(), QString::fromUtf8("北京市海淀区"));
        QCOMPARE(form.bandFields().size(), 11);
        QCOMPARE(form.ControlEdit1->Selected(), static_cast<QWidget*>(copy));

        chooseItem(form.cbbfontSize, "12");
        QCOMPARE(copy->font().pointSize(), 12);
        QCOMPARE(cbb3->font().pointSize(), 12);

        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QVERIFY(!fx.readSettings().contains("ComboBox1"));

        // Delete takes the copy away again, once its frame has the keys back.
        click(form, form.ControlEdit1->FindFrame(copy), QPoint(40, 12));
        key(form, Qt::Key_Delete);
        QVERIFY(!form.field("ComboBox1"));
        QCOMPARE(form.bandFields().size(), 10);
    }

    void theMissingPictureSwitchesTheEditorOff() {
        MainWindowFixture fx;
        fx.removePicture(QString::fromUtf8("顺丰快递"));
        TEXPDPrintForm& form = fx.start();
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        click(form, form.field("cbb1"), QPoint(20, 10));
        QCOMPARE(form.ControlEdit1->ChildCount(), 1);
        chooseItem(form.cbbNames, QString::fromUtf8("顺丰快递"));
        QVERIFY(!form.CheckBox1->isChecked());
        QVERIFY(!form.ControlEdit1->Enable());
        QCOMPARE(form.ControlEdit1->ChildCount(), 0);
    }

    void closingDetachesTheEditor() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        QVERIFY(form.close());
        QCOMPARE(form.ControlEdit1->EditControl(), nullptr);
    }
};

QTEST_MAIN(TestMainWindowEditor)
#include "tst_mainwindoweditor.moc"
