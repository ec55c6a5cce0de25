#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>

#include "editor/EditorGeometry.h"

class QMenu;
class QWidget;
class TSizeFrame;

// The current selection as a list of selection frames, one per selected control, in the
// order in which the controls were selected, with the settings the frames share (box size
// and colours, lock, snap grid, modifier keys), the frame that last received input, and the
// five events raised on the frames' behalf. It offers the selection primitives and the four
// layout commands.
//
// Events are plain std::function members; an empty one is "unassigned". Parameters passed by
// reference (Key) may be changed by the handler.
//
// Removing is deferred: a removed frame stays listed (and counted) until it is deleted when
// control returns to the event loop; Clear() empties the list at once. Errors are AppErrors:
// "不能加入Form对象" for a top-level window, "List index out of bounds (%d)" for a bad position.
class TSizeFrames : public QObject {
    Q_OBJECT
  public:
    explicit TSizeFrames(QObject* AOwner = nullptr);
    ~TSizeFrames() override;

    TSizeFrame* CurFrame() const { return FCurFrame; }
    int ChildCount() const { return int(FFrameList.size()); }

    TCtrlKey MoveHotKey() const { return FMoveHotKey; }
    void SetMoveHotKey(TCtrlKey k) { FMoveHotKey = k; }
    TCtrlKey ReSizeHotKey() const { return FReSizeHotKey; }
    void SetReSizeHotKey(TCtrlKey k) { FReSizeHotKey = k; }
    bool Locked() const { return FLocked; }
    void SetLocked(bool v) { FLocked = v; }
    int BoxWidth() const { return FBoxWidth; }
    void SetBoxWidth(int v) { FBoxWidth = v; }
    int BoxHeight() const { return FBoxHeight; }
    void SetBoxHeight(int v) { FBoxHeight = v; }
    QColor BoxColor() const { return FBoxColor; }
    void SetBoxColor(const QColor& c) { FBoxColor = c; }
    QColor HighLightBoxColor() const { return FHighLightBoxColor; }
    void SetHighLightBoxColor(const QColor& c) { FHighLightBoxColor = c; }
    int GridXSize() const { return FGridX; }
    void SetGridXSize(int v) { FGridX = v; }
    int GridYSize() const { return FGridY; }
    void SetGridYSize(int v) { FGridY = v; }
    bool SnapToGrid() const { return FSnapToGrid; }
    void SetSnapToGrid(bool v) { FSnapToGrid = v; }
    QMenu* PopupMenu() const;
    void SetPopupMenu(QMenu* menu);
    QPoint DragOffset() const { return FDragOffset; }

    std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)> OnKeyDown;
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                       int Y)>
        OnMouseDown;
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                       int Y)>
        OnMouseUp;
    std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y)> OnMouseMove;
    std::function<void(QObject* Sender)> OnDblClick;

  signals:
    // Around every change the user makes to the controls through the set or its editor (a
    // drag, a nudge, an alignment, a delete, a cut, a paste): editStarting before anything
    // changes, editFinished once everything has. Nested commands (a cut is a copy and a delete)
    // make one pair.
    void editStarting();
    void editFinished();
    // While a drag goes on: the rectangle `control` takes if the drag ends now, in its
    // parent's coordinates.
    void dragMoved(QWidget* control, const QRect& geometry);
    // A control joined or left the selection.
    void selectionChanged();

  public:
    // Selects a control; returns its new frame, or nullptr when nothing was added (none, a
    // frame, a pinned control, or already selected).
    TSizeFrame* AddChild(QWidget* AChild);
    void RemoveChild(QWidget* AChild);
    void RemoveChild(int nIndex);
    void Clear();
    int IndexOf(const QWidget* AChild) const;
    void Refresh();

    void AlignTo(TSide Side, TAlignStyle AlignStyle);
    void SpaceEqu(TAlignStyle AlignStyle);
    void WidthEqu();
    void HeightEqu();

    // The control of the frame at a position, or nullptr outside the list.
    QWidget* GetChild(int Index) const;
    TSizeFrame* GetFrame(int Index) const;
    TSizeFrame* FindFrame(const QWidget* AChild) const;
    QWidget* GetAlignControl(TSide Side) const;
    // The nearest other selected control beyond AControl (Direction sLeft..sBottom).
    QWidget* GetNearChild(QWidget* AControl, TSide Direction) const;
    int GetTotalWidth() const;
    int GetTotalHeight() const;

  protected:
    // One user command: editStarting when the outermost one begins, editFinished when it ends.
    class EditScope {
      public:
        explicit EditScope(TSizeFrames& set);
        ~EditScope();
        EditScope(const EditScope&) = delete;
        EditScope& operator=(const EditScope&) = delete;

      private:
        QPointer<TSizeFrames> m_set;
    };

    virtual void DoMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void DoMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void DoMouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void DoKeyDown(int& Key, Qt::KeyboardModifiers Shift);
    virtual void DoDblClick();
    // How far a move drag goes before the drag cursor shows. A plain set has no threshold of
    // its own and uses the layout editor's default.
    virtual int FrameDragThreshold() const { return 3; }

  private:
    friend class TSizeFrame;

    void FrameDestroyed(TSizeFrame* frame);
    // The selected controls' bounds, in list order; frames whose control is gone are skipped.
    QList<QWidget*> LiveControls() const;
    void ApplyBounds(const QList<QWidget*>& controls, const QList<QRect>& bounds);
    // The application-wide drag cursor, set once per drag and restored at its end.
    void SetDragCursor(bool on);

    TSizeFrame* FCurFrame = nullptr;
    QList<TSizeFrame*> FFrameList;
    QList<QPointer<TSizeFrame>> m_madeFrames;  // every frame this set made and not yet freed
    QPointer<QMenu> FPopupMenu;
    QPoint FDragOffset;
    bool FSnapToGrid = true;
    int FBoxWidth = 5;
    int FBoxHeight = 5;
    QColor FBoxColor = QColor(0x80, 0x80, 0x80);
    QColor FHighLightBoxColor = QColor(0, 0, 0);
    bool FLocked = false;
    int FGridX = 8;
    int FGridY = 8;
    TCtrlKey FMoveHotKey = ckCtrl;
    TCtrlKey FReSizeHotKey = ckShift;
    bool m_dragCursor = false;
    int m_editDepth = 0;
};

// Whether the modifier a function is bound to is held.
bool isCtrlKeyDown(TCtrlKey key, Qt::KeyboardModifiers shift);
