#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include "editor/EditorGeometry.h"

class QRubberBand;
class TSizeFrames;

// The visible mark of one selected control and the handle by which the user moves and
// resizes it: a transparent child of the control's parent, laid around the control, with a
// filled box at each corner and, when it marks the only selected control, at the middle of
// each edge.
//
// Qt mapping of the original window-procedure machinery:
// - The control hook is an event filter on the control (Move, Resize and EnabledChange).
//   Qt keeps each filter separately, so when a control is selected again while its previous
//   frame still waits for deletion, the two frames' hooks are independent and either frame
//   may go first without unhooking the other. The control's repaints need no hook: Qt
//   composes the transparent frame over its control on every repaint, and repainting the
//   frame from inside the control's paint would only schedule paint after paint.
// - Release() is deleteLater(): a frame can be dropped from inside its own handlers and goes
//   when control returns to the event loop.
// - The XOR rectangles of a drag are one QRubberBand overlay per frame, laid over the
//   frame's top-level window and deleted when the drag ends, so nothing stays behind.
// - Confining the cursor to the parent during a drag becomes clamping the mouse position to
//   the parent's client area; Qt cannot hold the real cursor.
// - Mouse capture is QWidget::grabMouse(), so that the frame gets the whole drag even when the
//   editor handed it the press that selected the control.
// - A frame whose set has been destroyed is inert (it ignores input and paints nothing) and is
//   deleted by the set's destructor.
class TSizeFrame : public QWidget {
    Q_OBJECT
  public:
    explicit TSizeFrame(TSizeFrames* AOwner);
    ~TSizeFrame() override;

    QWidget* Control() const { return FControl; }
    // Attaches the frame to a control (or detaches it with nullptr).
    void SetControl(QWidget* AControl);
    // The frame's position in its set, or -1 when it is not listed.
    int ItemIndex() const;
    // The rectangle drawn for this frame during a drag, in screen coordinates; (0,0,0,0)
    // when nothing is drawn.
    EditRect DragRect() const;
    TDragStyle DragStyle() const { return FDragStyle; }
    bool Dragging() const { return FDraging; }

    // Re-places the frame around its control and repaints both.
    void Refresh();
    // Deletes the frame once control is back in the event loop.
    void Release();

    // The box (or the move area) under a point in the frame's client coordinates.
    TDragStyle GetDragStyle(int X, int Y) const;
    TSizeFrames* Owner() const { return FOwner; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class TSizeFrames;

    void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void KeyDown(int& Key, Qt::KeyboardModifiers Shift);
    void DblClick();

    void PlaceAroundControl();
    // The control's rectangle in screen coordinates, through the frame's parent.
    EditRect ControlOnScreen() const;
    void SetDragCursor(TDragStyle style);
    void DrawDragRect(QPoint Offset, TDragStyle Style);
    QPoint ConfinedPos(QPoint framePos) const;
    void ControlDestroyed();
    // Cuts the frame loose from a set that is going away.
    void Orphan();

    QPointer<TSizeFrames> FOwner;
    QPointer<QWidget> FControl;
    QPoint FLastPos;
    TDragStyle FDragStyle = dsUnknown;
    bool FDraging = false;
    EditRect FNewClient;
    EditRect FOldClient;
    QPointer<QRubberBand> m_overlay;
};
