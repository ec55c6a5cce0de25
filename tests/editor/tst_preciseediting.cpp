#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include "app/LayoutHistory.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "editor/TControlEdit.h"
#include "editor/TSizeFrame.h"
#include "printing/engine/TReportBand.h"
#include "support/MainWindowFixture.h"

namespace {
const QString kLongbang = QStringLiteral("龙邦快递");
const QString kShunfeng = QStringLiteral("顺丰快递");
const QString kQuestion = QStringLiteral("当前快递单的标签位置已更改，是否保存？");

// Mouse and keys go to the main window's QWindow, as a person's do.
struct Hand {
    TEXPDPrintForm& form;
    QPoint at(QWidget* w, QPoint p) const { return w->mapTo(&form, p); }
    void press(QWidget* w, QPoint p, Qt::KeyboardModifiers mods = {}) const {
        QTest::mousePress(form.windowHandle(), Qt::LeftButton, mods, at(w, p));
    }
    void moveTo(QWidget* w, QPoint p) const { QTest::mouseMove(form.windowHandle(), at(w, p)); }
    void release(QWidget* w, QPoint p, Qt::KeyboardModifiers mods = {}) const {
        QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, mods, at(w, p));
    }
    void click(QWidget* w, QPoint p, Qt::KeyboardModifiers mods = {}) const {
        press(w, p, mods);
        release(w, p, mods);
    }
    // Presses inside the field, moves by `by` in four steps, releases.
    void drag(QWidget* w, QPoint by) const {
        const QPoint from(20, 10);
        press(w, from);
        for (int i = 1; i <= 4; ++i) moveTo(w, from + by * i / 4);
        release(w, from + by);
    }
    void key(int k, Qt::KeyboardModifiers mods = {}) const {
        QTest::keyClick(form.windowHandle(), Qt::Key(k), mods);
    }
};

// A person picks a courier from the list; the offscreen platform leaves no window active when
// the list closes, so the main window is made active again as it would be.
void chooseCourier(TEXPDPrintForm& form, const QString& courier) {
    chooseItem(form.cbbNames, courier);
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

TEXPDPrintForm& startDragging(MainWindowFixture& fx) {
    TEXPDPrintForm& form = fx.start();
    QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
    return form;
}

QStringList fieldNames(const TEXPDPrintForm& form) {
    QStringList names;
    for (WaybillField* f : form.bandFields()) names << f->objectName();
    return names;
}

void keepScreenshot(QWidget& w, const char* name) {
    if (!qEnvironmentVariableIsEmpty("QUORVEL_KEEP_SHEET"))
        w.grab().save(QStringLiteral("/tmp/calib/%1.png").arg(name));
}
}  // namespace

class TestPreciseEditing : public QObject {
    Q_OBJECT
  private slots:
    void theReadOutShowsThePlaceOnTheFormAndFollowsADrag_data() {
        QTest::addColumn<double>("dpi");
        QTest::newRow("96 dpi") << 96.0;
        QTest::newRow("120 dpi") << 120.0;
    }
    // What the user measures on the real form does not depend on the screen: the read-out
    // gives the design place (made at 120 pixels per inch) in millimetres and pixels.
    void theReadOutShowsThePlaceOnTheFormAndFollowsADrag() {
        QFETCH(double, dpi);
        MainWindowFixture fx({"Office Laser"}, "Office Laser", dpi);
        TEXPDPrintForm& form = startDragging(fx);
        form.resize(961, 672);
        const Hand hand{form};
        QVERIFY(form.lblFieldReadout->text().isEmpty());
        WaybillField* cbb1 = form.field("cbb1");
        hand.click(cbb1, QPoint(20, 10));
        QCOMPARE(form.lblFieldReadout->text(),
                 QString("cbb1 左 35.6 上 18.4 宽 17.1 高 5.5 毫米 | 168, 87, 81×26 像素"));

        // While the drag goes on, the read-out shows where the field would go; the field
        // itself moves at the release.
        const QPoint start = cbb1->pos();
        const int step = 8;  // the grid, in screen pixels
        hand.press(cbb1, QPoint(20, 10));
        hand.moveTo(cbb1, QPoint(20 + 2 * step + 3, 10 + step + 2));
        const int left = designFromScreen(start.x() + 2 * step, 120, dpi);
        const int top = designFromScreen(start.y() + step, 120, dpi);
        QVERIFY2(form.lblFieldReadout->text().contains(
                     QStringLiteral("%1, %2, 81×26 像素").arg(left).arg(top)),
                 qPrintable(form.lblFieldReadout->text()));
        QVERIFY(form.lblFieldReadout->text().contains(
            QStringLiteral("左 %1 ").arg(left * 25.4 / 120, 0, 'f', 1)));
        QCOMPARE(cbb1->pos(), start);
        // The whole read-out is on show in a window of the design size.
        QApplication::processEvents();
        QVERIFY2(form.lblFieldReadout->width() >= form.lblFieldReadout->sizeHint().width(),
                 qPrintable(QStringLiteral("%1 of %2 pixels shown")
                                .arg(form.lblFieldReadout->width())
                                .arg(form.lblFieldReadout->sizeHint().width())));
        keepScreenshot(form, dpi == 120 ? "readout120" : "readout96");
        hand.release(cbb1, QPoint(20 + 2 * step + 3, 10 + step + 2));
        QCOMPARE(cbb1->pos(), start + QPoint(2 * step, step));
        QVERIFY(form.lblFieldReadout->text().contains(
            QStringLiteral("%1, %2, 81×26 像素").arg(left).arg(top)));

        // A nudge and a click beside every field keep it current.
        hand.key(Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(form.lblFieldReadout->text().contains(
            QStringLiteral("%1, %2, %3×26 像素")
                .arg(left)
                .arg(top)
                .arg(designFromScreen(cbb1->width(), 120, dpi))));
        hand.click(form.DetailBand1, QPoint(5, 5));
        QVERIFY(form.lblFieldReadout->text().isEmpty());
    }

    void snappingOffMovesTheMouseInSinglePixels() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        const Hand hand{form};
        QVERIFY(form.chkSnapToGrid->isChecked());
        QCOMPARE(form.chkSnapToGrid->text(), QString("对齐网格"));
        WaybillField* cbb1 = form.field("cbb1");
        hand.drag(cbb1, QPoint(5, 3));
        QCOMPARE(cbb1->pos(), QPoint(168, 87));  // less than a grid step
        hand.drag(cbb1, QPoint(13, 11));
        QCOMPARE(cbb1->pos(), QPoint(176, 95));

        QTest::mouseClick(form.chkSnapToGrid, Qt::LeftButton, {}, QPoint(8, 8));
        QVERIFY(!form.chkSnapToGrid->isChecked());
        hand.drag(cbb1, QPoint(5, 3));
        QCOMPARE(cbb1->pos(), QPoint(181, 98));
        keepScreenshot(form, "snappingOff");
        // The right edge follows the mouse pixel by pixel too.
        TSizeFrame* frame = form.ControlEdit1->FindFrame(cbb1);
        QVERIFY(frame);
        const QPoint edge(frame->width() - 2, frame->height() / 2);
        hand.press(frame, edge);
        hand.moveTo(frame, edge + QPoint(3, 0));
        hand.release(frame, edge + QPoint(3, 0));
        QCOMPARE(cbb1->width(), 84);
        QTest::mouseClick(form.chkSnapToGrid, Qt::LeftButton, {}, QPoint(8, 8));
        hand.drag(cbb1, QPoint(5, 3));
        QCOMPARE(cbb1->pos(), QPoint(181, 98));
    }

    void everyEditIsUndoneAndRedoneWithTheVeryFields() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        const Hand hand{form};
        const QStringList order = fieldNames(form);
        QPointer<WaybillField> cbb1 = form.field("cbb1");
        QPointer<WaybillField> cbb5 = form.field("cbb5");
        WaybillField* cbb2 = form.field("cbb2");
        cbb1->setText(QStringLiteral("张三"));
        cbb5->setText(QStringLiteral("某某公司"));

        struct Step {
            QStringList names;
            QList<QRect> places;
        };
        const auto now = [&] {
            Step s{fieldNames(form), {}};
            for (WaybillField* f : form.bandFields()) s.places << f->geometry();
            return s;
        };
        QList<Step> steps{now()};
        hand.drag(cbb1, QPoint(16, 8));  // move
        steps << now();
        hand.click(cbb2, QPoint(20, 10));
        hand.key(Qt::Key_Right, Qt::ControlModifier);  // nudge
        steps << now();
        hand.key(Qt::Key_Down, Qt::ShiftModifier);  // resize
        steps << now();
        hand.click(cbb1, QPoint(20, 10), Qt::ControlModifier);
        form.ControlEdit1->AlignTo(sTop, sHorizontal);  // alignment (no key of its own)
        steps << now();
        hand.click(cbb5, QPoint(20, 10));
        hand.key(Qt::Key_Delete);  // delete
        steps << now();
        hand.click(cbb1, QPoint(20, 10));
        hand.key(Qt::Key_X, Qt::ControlModifier);  // cut
        steps << now();
        hand.click(cbb2, QPoint(20, 10));
        hand.key(Qt::Key_V, Qt::ControlModifier);  // paste
        steps << now();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (int i = 1; i < steps.size(); ++i)
            QVERIFY2(steps[i].names != steps[i - 1].names || steps[i].places != steps[i - 1].places,
                     qPrintable(QStringLiteral("step %1 changed nothing").arg(i)));
        QCOMPARE(steps.last().names.count("cbb1"), 1);  // the pasted copy, named as the cut one
        QVERIFY(cbb1->window() != &form);               // kept out of the window for an undo

        for (int i = steps.size() - 2; i >= 0; --i) {
            hand.key(Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(fieldNames(form), steps[i].names);
            QCOMPARE(now().places, steps[i].places);
        }
        // The very fields are back, texts, places and order included.
        QVERIFY(cbb1 && cbb5);
        QCOMPARE(form.field("cbb1"), cbb1.data());
        QCOMPARE(form.field("cbb5"), cbb5.data());
        QCOMPARE(cbb1->text(), QStringLiteral("张三"));
        QCOMPARE(cbb5->text(), QStringLiteral("某某公司"));
        QVERIFY(cbb5->isVisible());
        QCOMPARE(fieldNames(form), order);
        QCOMPARE(cbb1->pos(), QPoint(168, 87));
        QVERIFY(!form.layoutHistory->hasUnsavedChanges());
        keepScreenshot(form, "allUndone");

        // Redo is Ctrl+Y or Ctrl+Shift+Z.
        for (int i = 1; i < steps.size(); ++i) {
            if (i % 2)
                hand.key(Qt::Key_Y, Qt::ControlModifier);
            else
                hand.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(fieldNames(form), steps[i].names);
            QCOMPARE(now().places, steps[i].places);
        }
        keepScreenshot(form, "allRedone");
        // A courier switch starts a fresh history.
        chooseCourier(form, kShunfeng);
        const Step loaded = now();
        hand.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(now().places, loaded.places);
    }

    void unsavedPlacesAreAskedAboutBeforeASwitch() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        const Hand hand{form};
        hand.drag(form.field("cbb1"), QPoint(16, 8));
        QCOMPARE(form.field("cbb1")->pos(), QPoint(184, 95));

        // 取消 stays: the picker goes back to the courier shown, nothing is lost.
        fx.boxes.nextQuestionAnswer = MessageBoxes::Answer::Cancel;
        chooseCourier(form, kShunfeng);
        QCOMPARE(fx.boxes.texts(), QStringList{kQuestion});
        QCOMPARE(fx.boxes.shown.last().buttons, MessageBoxes::Buttons::YesNoCancel);
        QCOMPARE(form.cbbNames->currentText(), kLongbang);
        QCOMPARE(form.field("cbb1")->pos(), QPoint(184, 95));

        // 是 saves the working set of the courier shown, as "保存更改" does, then switches.
        fx.boxes.nextQuestionAnswer = MessageBoxes::Answer::Yes;
        chooseCourier(form, kShunfeng);
        QCOMPARE(form.currentTemplate(), kShunfeng);
        QCOMPARE(fx.value(kLongbang, "cbb1Left"), QString("184"));
        QVERIFY(fx.value(kShunfeng, "cbb1Left").isEmpty());

        // 否 goes on without saving.
        fx.boxes.clear();
        hand.drag(form.field("cbb2"), QPoint(16, 8));
        fx.boxes.nextQuestionAnswer = MessageBoxes::Answer::No;
        chooseCourier(form, kLongbang);
        QCOMPARE(fx.boxes.texts(), QStringList{kQuestion});
        QCOMPARE(form.currentTemplate(), kLongbang);
        QVERIFY(fx.value(kShunfeng, "cbb2Left").isEmpty());
        QCOMPARE(form.field("cbb1")->pos(), QPoint(184, 95));

        // Undone back to the saved places, and saved and moved again: nothing to ask.
        fx.boxes.clear();
        hand.drag(form.field("cbb2"), QPoint(16, 8));
        hand.key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!form.layoutHistory->hasUnsavedChanges());
        chooseCourier(form, kShunfeng);
        hand.drag(form.field("cbb2"), QPoint(16, 8));
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        chooseCourier(form, kLongbang);
        QVERIFY(fx.boxes.shown.isEmpty());
    }

    // The real message box: 是, 否 and 取消, and closing it counts as 取消.
    void theQuestionIsAskedWithYesNoAndCancel() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        Hand{form}.drag(form.field("cbb1"), QPoint(16, 8));
        MessageBoxes::install(nullptr);  // Qt's own boxes
        QStringList buttons;
        QString text;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            text = box->text();
            for (QAbstractButton* b : box->buttons()) buttons << b->text();
            keepScreenshot(*box, "question");
            box->reject();
        });
        chooseCourier(form, kShunfeng);
        MessageBoxes::install(&fx.boxes);
        QCOMPARE(text, kQuestion);
        buttons.sort();
        QStringList expected{"是", "否", "取消"};
        expected.sort();
        QCOMPARE(buttons, expected);
        QCOMPARE(form.currentTemplate(), kLongbang);
        QCOMPARE(form.field("cbb1")->pos(), QPoint(184, 95));
    }

    void unsavedPlacesAreAskedAboutBeforeClosing() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = startDragging(fx);
        Hand{form}.drag(form.field("cbb1"), QPoint(16, 8));
        fx.boxes.nextQuestionAnswer = MessageBoxes::Answer::Cancel;
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QCOMPARE(fx.boxes.texts(), QStringList{kQuestion});
        fx.boxes.nextQuestionAnswer = MessageBoxes::Answer::Yes;
        QVERIFY(form.close());
        QCOMPARE(fx.value(kLongbang, "cbb1Left"), QString("184"));

        TEXPDPrintForm& again = startDragging(fx);
        QCOMPARE(again.field("cbb1")->pos(), QPoint(184, 95));
        Hand{again}.drag(again.field("cbb1"), QPoint(16, 8));
        fx.boxes.nextQuestionAnswer = MessageBoxes::Answer::No;
        QVERIFY(again.close());
        QCOMPARE(fx.value(kLongbang, "cbb1Left"), QString("184"));
    }
};

QTEST_MAIN(TestPreciseEditing)
#include "tst_preciseediting.moc"
