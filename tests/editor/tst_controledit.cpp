#include <QMenu>
#include <QtTest>

#include "editor/EditorScene.h"
#include "support/TestSupport.h"

namespace {

// Counts the presses that reach some objects, and can stop them.
class PressSpy : public QObject {
  public:
    explicit PressSpy(bool swallow = false) : m_swallow(swallow) {}
    void watch(QObject* o) { o->installEventFilter(this); }
    int presses = 0;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::MouseButtonPress) return false;
        ++presses;
        return m_swallow;
    }

  private:
    bool m_swallow;
};

// Watches window-level presses on the application, as any other application handler would.
class AppPressSpy : public QObject {
  public:
    explicit AppPressSpy(bool swallow) : m_swallow(swallow) { qApp->installEventFilter(this); }
    ~AppPressSpy() override { qApp->removeEventFilter(this); }
    int presses = 0;
    int selectionSeen = -1;
    TControlEdit* edit = nullptr;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!o->isWindowType() || e->type() != QEvent::MouseButtonPress) return false;
        ++presses;
        if (edit) selectionSeen = edit->ChildCount();
        return m_swallow;
    }

  private:
    bool m_swallow;
};

}  // namespace

class TestControlEdit : public QObject {
    Q_OBJECT
  private slots:
    void defaults() {
        TControlEdit edit;
        QCOMPARE(edit.EditControl(), nullptr);
        QVERIFY(edit.Enable());
        QCOMPARE(edit.MutiSelKey(), ckCtrl);
        QCOMPARE(edit.DragThreshold(), 3);
        QVERIFY(!edit.CopyPasteKey());
        QVERIFY(!edit.DelKey());
        QCOMPARE(edit.MoveHotKey(), ckCtrl);
        QCOMPARE(edit.ReSizeHotKey(), ckShift);
        QVERIFY(!edit.Locked());
        QVERIFY(edit.SnapToGrid());
        QCOMPARE(edit.GridXSize(), 8);
        QCOMPARE(edit.GridYSize(), 8);
        QCOMPARE(edit.BoxWidth(), 5);
        QCOMPARE(edit.BoxHeight(), 5);
        QCOMPARE(edit.BoxColor(), QColor(0x80, 0x80, 0x80));
        QCOMPARE(edit.HighLightBoxColor(), QColor(0, 0, 0));
        QCOMPARE(edit.Selected(), nullptr);
        QCOMPARE(edit.Clicked(), nullptr);
        QCOMPARE(edit.DragRect(), EditRect{});
    }

    void clickSelectsAFieldWithoutDeliveringThePress() {
        EditorScene s;
        PressSpy spy;
        spy.watch(s.cbb1);
        spy.watch(s.cbb1->lineEdit());
        s.click(s.cbb1, QPoint(20, 10));
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
        QCOMPARE(s.edit->Selected(), s.cbb1);
        QCOMPARE(s.edit->Clicked(), s.cbb1);
        QCOMPARE(spy.presses, 0);
        QCOMPARE(QApplication::focusWidget(), s.frameOf(s.cbb1));
        QCOMPARE(s.cbb1->pos(), QPoint(100, 50));  // a click moves nothing

        // Typed text goes to the frame, not to the field.
        for (char c : {'a', 'b', 'c'}) QTest::keyClick(s.window(), c);
        QCOMPARE(s.cbb1->currentText(), QString("cbb1 text"));

        // A plain click on another field selects only that one.
        s.click(s.cbb2, QPoint(20, 10));
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb2});
        EditorScene::processDeletes();
        QCOMPARE(s.framesOnForm().size(), 1);
    }

    void pressAndDragMovesByWholeGridSteps() {
        EditorScene s;
        s.drag(s.cbb1, QPoint(20, 10), QPoint(33, 3));  // 13 right, 7 up
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
        QCOMPARE(s.cbb1->pos(), QPoint(108, 50));
        QCOMPARE(s.frameOf(s.cbb1)->geometry(), QRect(106, 48, 85, 31));
        QVERIFY(s.overlays().isEmpty());

        s.drag(s.frameOf(s.cbb1), QPoint(40, 15), QPoint(27, 15));  // 13 left
        QCOMPARE(s.cbb1->pos(), QPoint(100, 50));

        s.edit->SetSnapToGrid(false);
        s.drag(s.frameOf(s.cbb1), QPoint(40, 15), QPoint(53, 8));
        QCOMPARE(s.cbb1->pos(), QPoint(113, 43));
    }

    void aDragShowsOneOverlayPerControlAndLeavesNothingBehind() {
        EditorScene s;
        s.click(s.cbb1, QPoint(20, 10));
        s.click(s.cbb3, QPoint(20, 10), Qt::ControlModifier);
        QCOMPARE(s.selection(), (QList<QWidget*>{s.cbb1, s.cbb3}));
        TSizeFrame* f = s.frameOf(s.cbb3);
        s.press(f, QPoint(40, 10));
        s.move(f, QPoint(45, 10));
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::DragMoveCursor);
        s.move(f, QPoint(56, 26));
        QCOMPARE(s.overlays().size(), 2);
        const QPoint origin1 = s.band->mapToGlobal(QPoint(116, 66));
        QCOMPARE(s.frameOf(s.cbb1)->DragRect(),
                 (EditRect{origin1.x(), origin1.y(), origin1.x() + 80, origin1.y() + 26}));
        QCOMPARE(s.cbb1->pos(), QPoint(100, 50));  // nothing moves before the release
        for (QRubberBand* o : s.overlays()) QVERIFY(o->isVisible());
        s.release(f, QPoint(56, 26));
        QCOMPARE(s.cbb1->pos(), QPoint(116, 66));
        QCOMPARE(s.cbb3->pos(), QPoint(116, 166));
        QVERIFY(s.overlays().isEmpty());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QCOMPARE(s.frameOf(s.cbb1)->DragRect(), EditRect{});
        QCOMPARE(s.frameOf(s.cbb1)->DragStyle(), dsUnknown);
        EditorScene::processDeletes();
        QCOMPARE(s.framesOnForm().size(), 2);
    }

    void eachHandleResizesItsEdges() {
        struct Case {
            const char* name;
            QPoint at;  // in the frame of a 120 x 24 control: 125 x 29
            QRect expected;
        };
        // cbb3 lies at (100, 150) sized 120 x 24; every drag is 16 right and 16 down.
        const QList<Case> cases{
            {"left-top", QPoint(1, 1), QRect(116, 166, 104, 8)},
            {"right-top", QPoint(123, 1), QRect(100, 166, 136, 8)},
            {"left-bottom", QPoint(1, 27), QRect(116, 150, 104, 40)},
            {"right-bottom", QPoint(123, 27), QRect(100, 150, 136, 40)},
            {"top", QPoint(62, 1), QRect(100, 166, 120, 8)},
            {"bottom", QPoint(62, 27), QRect(100, 150, 120, 40)},
            {"left", QPoint(1, 14), QRect(116, 150, 104, 24)},
            {"right", QPoint(123, 14), QRect(100, 150, 136, 24)},
        };
        for (const Case& c : cases) {
            EditorScene s;
            s.click(s.cbb3, QPoint(20, 10));
            TSizeFrame* f = s.frameOf(s.cbb3);
            QCOMPARE(f->size(), QSize(125, 29));
            s.move(f, c.at);  // hovering shows the sizing cursor
            QVERIFY2(f->cursor().shape() != Qt::ArrowCursor, c.name);
            s.drag(f, c.at, c.at + QPoint(16, 16));
            QVERIFY2(s.cbb3->geometry() == c.expected, qPrintable(QString("%1: %2,%3 %4x%5")
                                                                      .arg(c.name)
                                                                      .arg(s.cbb3->x())
                                                                      .arg(s.cbb3->y())
                                                                      .arg(s.cbb3->width())
                                                                      .arg(s.cbb3->height())));
            QVERIFY(s.overlays().isEmpty());
        }
    }

    void cursorsFollowTheBoxes() {
        EditorScene s;
        s.click(s.cbb3, QPoint(20, 10));
        TSizeFrame* f = s.frameOf(s.cbb3);
        const QList<QPair<QPoint, Qt::CursorShape>> expected{
            {QPoint(1, 1), Qt::SizeFDiagCursor},   {QPoint(123, 27), Qt::SizeFDiagCursor},
            {QPoint(123, 1), Qt::SizeBDiagCursor}, {QPoint(1, 27), Qt::SizeBDiagCursor},
            {QPoint(62, 1), Qt::SizeVerCursor},    {QPoint(1, 14), Qt::SizeHorCursor},
            {QPoint(40, 14), Qt::ArrowCursor},
        };
        for (const auto& [at, shape] : expected) {
            s.move(f, at);
            QCOMPARE(f->cursor().shape(), shape);
        }
        s.edit->SetLocked(true);
        s.move(f, QPoint(41, 14));
        QCOMPARE(f->cursor().shape(), Qt::ForbiddenCursor);
    }

    void ctrlClickAddsAndDoesNotDeselect() {
        EditorScene s;
        s.click(s.cbb1, QPoint(20, 10));
        s.click(s.cbb2, QPoint(20, 10), Qt::ControlModifier);
        QCOMPARE(s.selection(), (QList<QWidget*>{s.cbb1, s.cbb2}));
        QCOMPARE(s.edit->Selected(), nullptr);
        // A Ctrl-press on a selected field drags the whole selection.
        s.drag(s.frameOf(s.cbb1), QPoint(40, 15), QPoint(56, 15), Qt::ControlModifier);
        QCOMPARE(s.selection(), (QList<QWidget*>{s.cbb1, s.cbb2}));
        QCOMPARE(s.cbb1->pos(), QPoint(116, 50));
        QCOMPARE(s.cbb2->pos(), QPoint(316, 50));
    }

    void aBoxOverANeighbourResizesTheSelectedControl() {
        EditorScene s;
        s.cbb2->setGeometry(181, 50, 80, 26);
        s.click(s.cbb1, QPoint(20, 10));
        TSizeFrame* f = s.frameOf(s.cbb1);
        // Frame (84, 27) is band (182, 75), inside cbb2 and on cbb1's right-bottom box.
        QCOMPARE(s.edit->ControlAtPos(f->mapToGlobal(QPoint(84, 27))), s.cbb2);
        s.drag(f, QPoint(84, 27), QPoint(100, 27));
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
        QCOMPARE(s.cbb1->geometry(), QRect(100, 50, 96, 26));
        QCOMPARE(s.cbb2->geometry(), QRect(181, 50, 80, 26));
    }

    void rubberBandSelectsWhatItTouches() {
        EditorScene s;
        s.click(s.cbb2, QPoint(20, 10));
        QList<QRect> reported;
        s.edit->OnDragRect = [&](const QRect& r, bool&) { reported << r; };
        s.press(s.band, QPoint(90, 40));
        QCOMPARE(s.edit->ChildCount(), 0);  // the background press drops the selection
        QVERIFY(s.edit->DrawingRubberBand());
        s.move(s.band, QPoint(120, 100));
        s.move(s.band, QPoint(150, 145));
        QCOMPARE(s.overlays().size(), 1);
        const QPoint g = s.band->mapToGlobal(QPoint(90, 40));
        QCOMPARE(s.edit->DragRect(), (EditRect{g.x(), g.y(), g.x() + 60, g.y() + 105}));
        s.release(s.band, QPoint(150, 145));
        QVERIFY(!s.edit->DrawingRubberBand());
        QCOMPARE(reported, QList<QRect>{QRect(90, 40, 60, 105)});
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
        QVERIFY(s.overlays().isEmpty());
        QCOMPARE(s.edit->DragRect(), EditRect{});

        // Drawn the other way round, over two fields.
        s.drag(s.band, QPoint(250, 200), QPoint(150, 45));
        QCOMPARE(s.selection(), (QList<QWidget*>{s.cbb1, s.cbb3}));

        // A refusal selects nothing.
        s.edit->OnDragRect = [](const QRect&, bool& allow) { allow = false; };
        s.drag(s.band, QPoint(90, 40), QPoint(250, 200));
        QCOMPARE(s.edit->ChildCount(), 0);
    }

    void rubberBandSurvivesAReleaseOverAChild() {
        EditorScene s;
        s.press(s.band, QPoint(90, 40));
        s.move(s.band, QPoint(95, 140));
        s.move(s.cbb3, QPoint(50, 10));  // over a child: the band stays as it was
        const EditRect before = s.edit->DragRect();
        QCOMPARE(before.height(), 100);
        s.release(s.cbb3, QPoint(50, 10));
        QVERIFY(s.edit->DrawingRubberBand());
        QCOMPARE(s.edit->ChildCount(), 0);
        s.move(s.band, QPoint(250, 200));
        s.release(s.band, QPoint(250, 200));
        QVERIFY(!s.edit->DrawingRubberBand());
        QCOMPARE(s.selection(), (QList<QWidget*>{s.cbb1, s.cbb3}));
        QVERIFY(s.overlays().isEmpty());
    }

    void ctrlKeepsTheSelectionOnABackgroundPress() {
        EditorScene s;
        s.click(s.cbb2, QPoint(20, 10));
        s.drag(s.band, QPoint(90, 40), QPoint(190, 60), Qt::ControlModifier);
        QCOMPARE(s.selection(), (QList<QWidget*>{s.cbb2, s.cbb1}));
    }

    void aPictureFillingTheBandIsSelectedInsteadOfARubberBand() {
        EditorScene s(true);
        s.click(s.band, QPoint(500, 300));
        QVERIFY(!s.edit->DrawingRubberBand());
        QCOMPARE(s.selection(), QList<QWidget*>{s.image});
        // A field lies over the picture and wins.
        QCOMPARE(s.edit->ControlAtPos(s.band->mapToGlobal(QPoint(110, 60))), s.cbb1);
        // Edges count.
        QCOMPARE(s.edit->ControlAtPos(s.band->mapToGlobal(QPoint(180, 76))), s.cbb1);
        QCOMPARE(s.edit->ControlAtPos(s.band->mapToGlobal(QPoint(181, 76))), s.image);
    }

    void aPinnedPictureIsTheBackground() {
        EditorScene s(true);
        EditorControls::setPinned(s.image);
        QVERIFY(!s.edit->AddChild(s.image));
        s.edit->SelectChild(s.image);
        QCOMPARE(s.edit->ChildCount(), 0);

        // A press on it starts a rubber band, which the picture itself never joins.
        s.click(s.cbb2, QPoint(20, 10));
        s.press(s.image, QPoint(90, 40));
        QVERIFY(s.edit->DrawingRubberBand());
        QCOMPARE(s.edit->ChildCount(), 0);
        s.move(s.image, QPoint(200, 100));
        QCOMPARE(s.overlays().size(), 1);
        s.move(s.image, QPoint(250, 200));
        s.release(s.image, QPoint(250, 200));
        QVERIFY(!s.edit->DrawingRubberBand());
        QCOMPARE(s.selection(), (QList<QWidget*>{s.cbb1, s.cbb3}));
        QVERIFY(s.overlays().isEmpty());
        QCOMPARE(s.edit->ControlAtPos(s.band->mapToGlobal(QPoint(500, 300))), nullptr);
        QCOMPARE(s.edit->ControlAtPos(s.band->mapToGlobal(QPoint(110, 60))), s.cbb1);

        // The arrows pass it by: nothing but the picture lies left of cbb1.
        s.edit->SelectChild(s.cbb1);
        EditorScene::processDeletes();
        s.key(Qt::Key_Left);
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
        QCOMPARE(s.edit->GetSibling(s.cbb1, sLeft), nullptr);
        QCOMPARE(s.edit->GetSibling(s.cbb1, sRight), s.cbb2);
    }

    void hiddenFieldsAndNestedControlsAreFound() {
        EditorScene s;
        s.cbb2->hide();
        s.click(s.band, QPoint(320, 60));
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb2});

        QWidget* panel = s.addPanel();
        QComboBox* inner = s.inner;
        QCOMPARE(s.edit->ControlAtPos(s.band->mapToGlobal(QPoint(420, 220))), inner);
        QCOMPARE(s.edit->ControlAtPos(s.band->mapToGlobal(QPoint(550, 280))), panel);
        QCOMPARE(s.edit->ControlAtPos(s.band->mapToGlobal(QPoint(5, 5))), nullptr);
    }

    void aSelectionOverTwoParentsMovesOnlyTheClickedParent() {
        EditorScene s;
        s.addPanel();
        QComboBox* inner = s.inner;
        s.click(inner, QPoint(20, 10));
        s.click(s.cbb1, QPoint(20, 10), Qt::ControlModifier);
        QCOMPARE(s.selection(), (QList<QWidget*>{inner, s.cbb1}));
        TSizeFrame* f = s.frameOf(s.cbb1);
        s.press(f, QPoint(40, 15));
        s.move(f, QPoint(50, 15));
        s.move(f, QPoint(56, 15));
        QCOMPARE(s.overlays().size(), 2);
        s.release(f, QPoint(56, 15));
        QCOMPARE(s.cbb1->pos(), QPoint(116, 50));
        QCOMPARE(inner->pos(), QPoint(10, 10));
        QVERIFY(s.overlays().isEmpty());
    }

    void withoutAMultiSelectKeyClicksSelectNothing() {
        EditorScene s;
        s.edit->SetMutiSelKey(ckNone);
        PressSpy spy;
        spy.watch(s.cbb1);
        spy.watch(s.cbb1->lineEdit());
        s.click(s.cbb1, QPoint(20, 10));
        QCOMPARE(s.edit->ChildCount(), 0);
        QCOMPARE(spy.presses, 1);
        // The background press keeps the selection and still draws a band.
        s.edit->AddChild(s.cbb2);
        s.drag(s.band, QPoint(90, 40), QPoint(190, 60));
        QCOMPARE(s.selection(), (QList<QWidget*>{s.cbb2, s.cbb1}));
    }

    void onSelectAndOnDisSelectCanRefuse() {
        EditorScene s;
        PressSpy spy;
        spy.watch(s.cbb1->lineEdit());
        QList<QWidget*> asked;
        s.edit->OnSelect = [&](QWidget* c, bool& allowed) {
            asked << c;
            allowed = c != s.cbb1;
        };
        s.click(s.cbb1, QPoint(20, 10));
        QCOMPARE(asked, QList<QWidget*>{s.cbb1});
        QCOMPARE(s.edit->ChildCount(), 0);
        QCOMPARE(spy.presses, 1);  // refused: the field gets its press

        s.click(s.cbb2, QPoint(20, 10));
        s.click(s.cbb3, QPoint(20, 10), Qt::ControlModifier);
        s.edit->OnDisSelect = [&](QWidget* c, bool& allowed) {
            if (c == s.cbb3) allowed = false;
        };
        s.click(s.image, QPoint(20, 10));
        EditorScene::processDeletes();
        // cbb3 is asked first and refuses; the refusal holds for cbb2 too.
        QCOMPARE(s.selection(), (QList<QWidget*>{s.cbb2, s.cbb3, s.image}));
    }

    void disabledOrLockedEditors() {
        EditorScene s;
        s.click(s.cbb1, QPoint(20, 10));
        QCOMPARE(s.edit->ChildCount(), 1);
        s.edit->SetEnable(false);
        QCOMPARE(s.edit->ChildCount(), 0);
        EditorScene::processDeletes();
        QVERIFY(s.framesOnForm().isEmpty());
        PressSpy spy;
        spy.watch(s.cbb2->lineEdit());
        s.click(s.cbb2, QPoint(20, 10));
        QCOMPARE(s.edit->ChildCount(), 0);
        QCOMPARE(spy.presses, 1);

        s.edit->SetEnable(true);
        s.edit->SetLocked(true);
        s.drag(s.cbb2, QPoint(20, 10), QPoint(60, 30));
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb2});
        QCOMPARE(QApplication::focusWidget(), s.frameOf(s.cbb2));
        QCOMPARE(s.cbb2->pos(), QPoint(300, 50));
        QVERIFY(s.overlays().isEmpty());
        s.key(Qt::Key_Right, Qt::ControlModifier);  // the keyboard is not locked
        QCOMPARE(s.cbb2->pos(), QPoint(301, 50));
    }

    void keyboardNudgesAndResizes() {
        EditorScene s;
        s.click(s.cbb1, QPoint(20, 10));
        s.click(s.cbb2, QPoint(20, 10), Qt::ControlModifier);
        s.click(s.cbb3, QPoint(20, 10), Qt::ControlModifier);
        s.key(Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(s.cbb1->pos(), QPoint(99, 50));
        QCOMPARE(s.cbb2->pos(), QPoint(299, 50));
        QCOMPARE(s.cbb3->pos(), QPoint(99, 150));
        s.key(Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(s.cbb1->pos(), QPoint(99, 51));
        s.key(Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(s.cbb1->size(), QSize(81, 26));
        s.key(Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(s.cbb3->size(), QSize(121, 23));
        s.key(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(s.cbb1->geometry(), QRect(98, 51, 80, 25));
        QCOMPARE(s.frameOf(s.cbb1)->geometry(), QRect(96, 49, 85, 30));
        s.key(Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(s.cbb1->geometry(), QRect(98, 51, 80, 25));
        // Other bindings.
        s.edit->SetMoveHotKey(ckAlt);
        s.edit->SetReSizeHotKey(ckNone);
        s.key(Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(s.cbb1->pos(), QPoint(99, 51));
        s.key(Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(s.cbb1->size(), QSize(80, 25));
    }

    void arrowsWalkToTheNearestSibling() {
        EditorScene s;
        s.click(s.cbb1, QPoint(20, 10));
        s.key(Qt::Key_Right);
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb2});
        QCOMPARE(QApplication::focusWidget(), s.frameOf(s.cbb2));
        s.key(Qt::Key_Left);
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
        s.key(Qt::Key_Down);
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb3});
        s.key(Qt::Key_Down);  // nothing below overlaps it
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb3});
        s.key(Qt::Key_Up);
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
        QCOMPARE(s.cbb1->pos(), QPoint(100, 50));

        QList<QWidget*> asked;
        s.edit->OnDisSelect = [&](QWidget* c, bool&) { asked << c; };
        s.edit->OnSelect = [&](QWidget* c, bool& allowed) {
            asked << c;
            allowed = false;
        };
        s.key(Qt::Key_Right);
        QCOMPARE(asked, (QList<QWidget*>{s.cbb1, s.cbb2}));
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
        EditorScene::processDeletes();
        QCOMPARE(s.framesOnForm().size(), 1);
    }

    void ctrlPageUpAndPageDownChangeTheOrder() {
        EditorScene s;
        auto order = [&] { return EditorControls::controlChildren(s.band, s.band); };
        QCOMPARE(order(), (QList<QWidget*>{s.image, s.cbb1, s.cbb2, s.cbb3}));
        s.click(s.cbb1, QPoint(20, 10));
        s.key(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(order(), (QList<QWidget*>{s.image, s.cbb2, s.cbb3, s.cbb1}));
        QCOMPARE(s.band->children().last(), s.frameOf(s.cbb1));  // the frame stays on top
        s.click(s.cbb3, QPoint(20, 10));
        s.key(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(order(), (QList<QWidget*>{s.image, s.cbb3, s.cbb2, s.cbb1}));
        // The picture stays beneath the fields either way.
        s.click(s.image, QPoint(20, 10));
        s.key(Qt::Key_PageUp, Qt::ControlModifier);
        const QObjectList kids = s.band->children();
        QVERIFY(kids.indexOf(s.image) < kids.indexOf(s.cbb3));
        s.key(Qt::Key_PageUp);  // without Ctrl: nothing
        QCOMPARE(order(), (QList<QWidget*>{s.image, s.cbb3, s.cbb2, s.cbb1}));
    }

    void deleteRemovesTheSelectionBetweenItsEvents() {
        EditorScene s;
        QStringList log;
        s.edit->OnBeforeDelete = [&](QObject* sender) {
            QCOMPARE(sender, s.edit);
            log << QString("before %1").arg(s.band->findChildren<QComboBox*>().size());
        };
        s.edit->OnAfterDelete = [&](QObject*) {
            log << QString("after %1").arg(s.band->findChildren<QComboBox*>().size());
        };
        s.click(s.cbb1, QPoint(20, 10));
        s.click(s.cbb3, QPoint(20, 10), Qt::ControlModifier);
        s.key(Qt::Key_Delete);  // DelKey is off
        QCOMPARE(s.band->findChildren<QComboBox*>().size(), 3);
        QVERIFY(log.isEmpty());

        s.edit->SetDelKey(true);
        QPointer<QComboBox> one = s.cbb1, three = s.cbb3;
        s.key(Qt::Key_Delete, Qt::ShiftModifier);  // whatever the modifiers
        QVERIFY(!one && !three);
        QCOMPARE(log, (QStringList{"before 3", "after 1"}));
        EditorScene::processDeletes();
        QCOMPARE(s.edit->ChildCount(), 0);
        QVERIFY(s.framesOnForm().isEmpty());
        QVERIFY(s.overlays().isEmpty());
    }

    void deletingNestedSelectionsIsSafe() {
        EditorScene s;
        QWidget* panel = s.addPanel();
        QComboBox* inner = s.inner;
        s.edit->SetDelKey(true);
        s.edit->AddChild(panel);
        s.edit->AddChild(inner);  // its frame has the focus, inside the panel
        QPointer<QWidget> p = panel, i = inner;
        s.key(Qt::Key_Delete);
        QVERIFY(!p && !i);
        EditorScene::processDeletes();
        QCOMPARE(s.edit->ChildCount(), 0);
        QVERIFY(s.framesOnForm().isEmpty());
    }

    void theSecondClickOfADoubleClickReachesTheFrame() {
        EditorScene s;
        int doubleClicks = 0;
        s.edit->OnDblClick = [&](QObject*) { ++doubleClicks; };
        s.move(s.cbb1, QPoint(20, 10));
        QTest::mouseDClick(s.window(), Qt::LeftButton, {}, s.at(s.cbb1, QPoint(20, 10)));
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
        QCOMPARE(doubleClicks, 1);
    }

    void aPressOnAnotherWindowOverTheContainerReachesThatWindow() {
        EditorScene s;
        QWidget other;
        other.setObjectName("Other");
        other.setGeometry(QRect(s.cbb1->mapToGlobal(QPoint(-10, -10)), QSize(100, 60)));
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        PressSpy spy;
        spy.watch(&other);
        // Over a field, and over the background beside it.
        for (const QPoint p : {QPoint(20, 15), QPoint(5, 5)}) {
            QTest::mousePress(other.windowHandle(), Qt::LeftButton, {}, p);
            QTest::mouseMove(other.windowHandle(), p + QPoint(30, 20));
            QTest::mouseRelease(other.windowHandle(), Qt::LeftButton, {}, p + QPoint(30, 20));
        }
        QCOMPARE(spy.presses, 2);
        QCOMPARE(s.edit->ChildCount(), 0);
        QVERIFY(!s.edit->DrawingRubberBand());
        QCOMPARE(s.cbb1->pos(), QPoint(100, 50));
    }

    void aPopupKeepsItsOwnMouse() {
        EditorScene s;
        QMenu menu;
        bool triggered = false;
        menu.addAction("One", [&] { triggered = true; });
        menu.popup(s.cbb1->mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QVERIFY(QApplication::activePopupWidget());
        const QPoint item = menu.actionGeometry(menu.actions().first()).center();
        QTest::mouseClick(menu.windowHandle(), Qt::LeftButton, {}, item);
        QVERIFY(triggered);
        QCOMPARE(s.edit->ChildCount(), 0);
    }

    void anEarlierApplicationHandlerSeesEveryPressFirst() {
        EditorScene s;
        s.edit->SetEditControl(nullptr);
        {
            AppPressSpy earlier(false);
            earlier.edit = s.edit;
            s.edit->SetEditControl(s.band);
            s.click(s.cbb1, QPoint(20, 10));
            QCOMPARE(earlier.presses, 1);
            QCOMPARE(earlier.selectionSeen, 0);  // it saw the press before the editor acted
            QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
        }
        s.edit->SetEditControl(nullptr);
        {
            AppPressSpy earlier(true);  // this one stops the presses
            s.edit->SetEditControl(s.band);
            s.click(s.cbb2, QPoint(20, 10));
            QCOMPARE(earlier.presses, 1);
            QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
        }
        {
            AppPressSpy later(true);  // even one installed after the editor comes first
            s.click(s.cbb2, QPoint(20, 10));
            QCOMPARE(later.presses, 1);
            QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
        }
    }

    void theEditorUnhooksWhenItsContainerGoesOrWhenItIsDestroyed() {
        {
            EditorScene s;
            s.click(s.cbb1, QPoint(20, 10));
            s.edit->SetEditControl(nullptr);
            PressSpy spy;
            spy.watch(s.cbb2->lineEdit());
            s.click(s.cbb2, QPoint(20, 10));
            QCOMPARE(spy.presses, 1);
            QCOMPARE(s.edit->ChildCount(), 1);  // the selection itself stays
        }
        {
            EditorScene s;
            s.click(s.cbb1, QPoint(20, 10));
            delete s.edit;
            s.edit = nullptr;
            EditorScene::processDeletes();
            QVERIFY(s.framesOnForm().isEmpty());
            PressSpy spy;
            spy.watch(s.cbb2->lineEdit());
            s.click(s.cbb2, QPoint(20, 10));
            s.drag(s.band, QPoint(90, 40), QPoint(150, 60));
            QCOMPARE(spy.presses, 1);
            QVERIFY(s.overlays().isEmpty());
        }
        {
            EditorScene s;
            auto* other = new QWidget(s.form.get());
            other->setGeometry(0, 0, 10, 10);
            other->show();
            s.edit->SetEditControl(other);
            delete other;
            QCOMPARE(s.edit->EditControl(), nullptr);
            PressSpy spy;
            spy.watch(s.cbb2->lineEdit());
            s.click(s.cbb2, QPoint(20, 10));
            QCOMPARE(spy.presses, 1);
        }
    }
};

QTEST_MAIN(TestControlEdit)
#include "tst_controledit.moc"
