#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRubberBand>
#include <QWindow>
#include <QtTest>
#include <ctime>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "dialogs/ModalDriver.h"
#include "dialogs/TSetForm.h"
#include "editor/ControlClassRegistry.h"
#include "editor/ControlStream.h"
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
    // Press at `from`, move there in four steps, release at `to` (all in w's coordinates).
    static void drag(TEXPDPrintForm& form, QWidget* w, QPoint from, QPoint to) {
        press(form, w, from);
        for (int i = 1; i <= 4; ++i)
            QTest::mouseMove(form.windowHandle(), w->mapTo(&form, from + (to - from) * i / 4));
        release(form, w, to);
    }
    static QWidget* band(TEXPDPrintForm& form) { return form.DetailBand1; }
    // Starts the program and ticks "拖拽".
    static TEXPDPrintForm& startDragging(MainWindowFixture& fx) {
        TEXPDPrintForm& form = fx.start();
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        return form;
    }
    // Puts an entry of `count` unnamed fields on the clipboard, spread over the band.
    static void putUnnamedFields(int count) {
        ControlNode root;
        root.className = "QWidget";
        root.objectName = ControlStream::kRootName;
        for (int i = 0; i < count; ++i) {
            ControlNode n;
            n.className = "WaybillField";
            n.geometry = QRect(10 + (i % 50) * 10, 10 + (i / 50) * 5, 80, 26);
            n.flags = ControlNode::Editable;
            root.children << n;
        }
        auto* mime = new QMimeData;
        mime->setData(ControlStream::kMimeType, ControlStream::write(root));
        QGuiApplication::clipboard()->setMimeData(mime);
    }
    static void processDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
        TEXPDPrintForm& form = startDragging(fx);
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

    void aPressOnThePictureDrawsARubberBandAroundFields() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        WaybillField* cbb1 = form.field("cbb1");  // 168, 87, 81 x 26
        WaybillField* cbb2 = form.field("cbb2");  // 347, 87, 60 x 26

        // From above and left of cbb1 to the right of cbb2, over the picture all the way.
        press(form, band(form), QPoint(160, 80));
        QVERIFY(form.ControlEdit1->DrawingRubberBand());
        QCOMPARE(form.ControlEdit1->ChildCount(), 0);
        for (int i = 1; i <= 4; ++i)
            QTest::mouseMove(form.windowHandle(),
                             band(form)->mapTo(&form, QPoint(160 + 65 * i, 80 + 5 * i)));
        QCOMPARE(form.findChildren<QRubberBand*>().size(), 1);
        release(form, band(form), QPoint(420, 100));
        QVERIFY(!form.ControlEdit1->DrawingRubberBand());
        QVERIFY(form.findChildren<QRubberBand*>().isEmpty());
        QCOMPARE(form.ControlEdit1->ChildCount(), 2);
        QCOMPARE(form.ControlEdit1->GetChild(0), cbb1);
        QCOMPARE(form.ControlEdit1->GetChild(1), cbb2);

        // One drag moves both.
        drag(form, form.ControlEdit1->FindFrame(cbb2), QPoint(30, 15), QPoint(46, 23));
        QCOMPARE(cbb1->pos(), QPoint(184, 95));
        QCOMPARE(cbb2->pos(), QPoint(363, 95));
        QCOMPARE(form.Image1->geometry(), form.DetailBand1->rect());
    }

    void thePictureIsNeverSelectedMovedCutOrDeleted() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        QPointer<QLabel> picture = form.Image1.data();
        QVERIFY(picture);

        click(form, band(form), QPoint(20, 20));  // beside every field
        QCOMPARE(form.ControlEdit1->ChildCount(), 0);
        key(form, Qt::Key_Delete);
        key(form, Qt::Key_X, Qt::ControlModifier);
        key(form, Qt::Key_Right, Qt::ControlModifier);
        key(form, Qt::Key_Right, Qt::ShiftModifier);
        processDeletes();
        QVERIFY(picture);
        QCOMPARE(picture->geometry(), form.DetailBand1->rect());

        // The arrows walk from field to field and never onto the picture beneath them.
        WaybillField* cbb5 = form.field("cbb5");  // the left-most field
        click(form, cbb5, QPoint(20, 10));
        key(form, Qt::Key_Left);
        QCOMPARE(form.ControlEdit1->Selected(), cbb5);

        // Deleting one field and cutting another leaves the window sound: the courier switch,
        // "保存更改" and the settings dialog go on with the fields that are left.
        key(form, Qt::Key_Delete);
        click(form, form.field("cbb1"), QPoint(20, 10));
        key(form, Qt::Key_X, Qt::ControlModifier);
        processDeletes();
        QVERIFY(!form.field("cbb5"));
        QVERIFY(!form.field("cbb1"));
        QCOMPARE(form.bandFields().size(), 8);
        chooseItem(form.cbbNames, QString::fromUtf8("顺丰快递"));
        QCOMPARE(form.currentTemplate(), QString::fromUtf8("顺丰快递"));
        QVERIFY(picture);
        QVERIFY(!picture->pixmap().isNull());
        // The switch reset the pickers: the surviving fields are empty, their captions shown.
        QVERIFY(form.field("cbb2")->text().isEmpty());
        QCOMPARE(form.field("cbb2")->lineEdit()->placeholderText(), QString::fromUtf8("始发地"));
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(fx.value(QString::fromUtf8("顺丰快递"), "cbb2Left"), QString("347"));
        QVERIFY(fx.value(QString::fromUtf8("顺丰快递"), "cbb1Left").isEmpty());
        auto driven = driveNextModal<TSetForm>(
            [&](TSetForm& dialog) { QTest::mouseClick(dialog.Button1, Qt::LeftButton); });
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QVERIFY(*driven);
    }

    void anEdgeDraggedPastTheOtherLeavesTheMinimumWidth() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        WaybillField* cbb2 = form.field("cbb2");  // 347, 87, 60 x 26
        click(form, cbb2, QPoint(20, 10));
        TSizeFrame* frame = form.ControlEdit1->FindFrame(cbb2);
        QVERIFY(frame);
        QCOMPARE(frame->GetDragStyle(1, 15), dsLeft);

        // The left edge pulled 100 pixels right, far past the right edge at 407.
        drag(form, frame, QPoint(1, 15), QPoint(101, 15));
        const int m = kMinimumControlSize;
        QCOMPARE(cbb2->geometry(), QRect(407 - m, 87, m, 26));
        QVERIFY(form.findChildren<QRubberBand*>().isEmpty());
        // Shift+Left shrinks no further.
        key(form, Qt::Key_Left, Qt::ShiftModifier);
        key(form, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(cbb2->width(), m);

        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(fx.value(form.currentTemplate(), "cbb2Width"), QString::number(m));
        QCOMPARE(fx.value(form.currentTemplate(), "cbb2Left"), QString::number(407 - m));
    }

    void pastingWithAFieldSelectedPutsTheCopyBesideIt() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        WaybillField* cbb3 = form.field("cbb3");  // 149, 180, 244 x 26
        click(form, cbb3, QPoint(20, 10));
        key(form, Qt::Key_C, Qt::ControlModifier);
        key(form, Qt::Key_V, Qt::ControlModifier);  // cbb3 is still the selection

        WaybillField* copy = form.field("ComboBox1");
        QVERIFY(copy);
        QCOMPARE(copy->parentWidget(), band(form));
        QVERIFY(cbb3->findChildren<WaybillField*>().isEmpty());
        QCOMPARE(copy->geometry(), cbb3->geometry());
        QCOMPARE(form.ControlEdit1->Selected(), static_cast<QWidget*>(copy));

        // The copy is dragged off the field; the field then takes its own clicks, and where
        // it is dragged is what "保存更改" stores.
        drag(form, form.ControlEdit1->FindFrame(copy), QPoint(40, 12), QPoint(40, 52));
        QCOMPARE(copy->pos(), QPoint(149, 220));
        drag(form, cbb3, QPoint(20, 10), QPoint(36, 10));
        QCOMPARE(form.ControlEdit1->Selected(), cbb3);
        QCOMPARE(cbb3->pos(), QPoint(165, 180));
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(fx.value(form.currentTemplate(), "cbb3Left"), QString("165"));
    }

    void aLargePasteIsQuickAndALargerOneIsRefused() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        click(form, form.field("cbb1"), QPoint(20, 10));

        // As many unnamed fields as an entry may hold: each needs a free name of its own.
        const int count = ControlStream::kMaxNodes - 1;  // and the root
        putUnnamedFields(count);
        const std::clock_t start = std::clock();
        key(form, Qt::Key_V, Qt::ControlModifier);
        const double cpuMs = double(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC;
        QVERIFY(fx.boxes.texts().isEmpty());
        const QList<WaybillField*> fields = form.bandFields();
        QCOMPARE(fields.size(), 10 + count);
        QCOMPARE(form.ControlEdit1->ChildCount(), count);
        QSet<QString> names;
        for (WaybillField* f : fields) names.insert(f->objectName().toLower());
        QCOMPARE(names.size(), 10 + count);
        QVERIFY(names.contains("combobox1"));
        QVERIFY(names.contains(QString("combobox%1").arg(count)));
        // Generous, painting included: the naming alone once took minutes.
        QVERIFY2(cpuMs < 4000, qPrintable(QString("the paste took %1 ms").arg(cpuMs)));

        // One more is beyond the entry's limits: refused at once, nothing made.
        key(form, Qt::Key_Delete);
        processDeletes();
        QCOMPARE(form.bandFields().size(), 10);
        click(form, form.field("cbb1"), QPoint(20, 10));
        putUnnamedFields(count + 1);
        key(form, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(fx.boxes.texts(), QStringList{"Invalid stream format"});
        QCOMPARE(form.bandFields().size(), 10);
    }

    void aDialogOverTheBandKeepsItsClicks() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        WaybillField* cbb3 = form.field("cbb3");
        const QPoint over = cbb3->mapToGlobal(QPoint(30, 12));

        auto driven = driveNextModal<TSetForm>([&](TSetForm& dialog) {
            // The dialog is moved so that its first check box lies over the field.
            QCheckBox* box = dialog.chk2;
            const QPoint onBox(8, box->height() / 2);
            dialog.move(dialog.pos() + over - box->mapToGlobal(onBox));
            QTRY_COMPARE(box->mapToGlobal(onBox), over);
            QCOMPARE(form.ControlEdit1->ControlAtPos(over), static_cast<QWidget*>(cbb3));
            const bool ticked = box->isChecked();
            QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {},
                              box->mapTo(&dialog, onBox));
            QCOMPARE(box->isChecked(), !ticked);
            QCOMPARE(form.ControlEdit1->ChildCount(), 0);
        });
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QVERIFY(*driven);
        QCOMPARE(cbb3->pos(), QPoint(149, 180));
    }

    void pastedFieldsTakeFontChangesAndAreNotSaved() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        WaybillField* cbb3 = form.field("cbb3");
        cbb3->setText(QString::fromUtf8("北京市海淀区"));
        click(form, cbb3, QPoint(20, 10));
        key(form, Qt::Key_C, Qt::ControlModifier);
        key(form, Qt::Key_V, Qt::ControlModifier);  // beside the selected field, on the band

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
        TEXPDPrintForm& form = startDragging(fx);
        click(form, form.field("cbb1"), QPoint(20, 10));
        QCOMPARE(form.ControlEdit1->ChildCount(), 1);
        chooseItem(form.cbbNames, QString::fromUtf8("顺丰快递"));
        QVERIFY(!form.CheckBox1->isChecked());
        QVERIFY(!form.ControlEdit1->Enable());
        QCOMPARE(form.ControlEdit1->ChildCount(), 0);
    }

    void closingDetachesTheEditor() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        QVERIFY(form.close());
        QCOMPARE(form.ControlEdit1->EditControl(), nullptr);
    }
};

QTEST_MAIN(TestMainWindowEditor)
#include "tst_mainwindoweditor.moc"
