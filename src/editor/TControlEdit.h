#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <functional>

#include "editor/TSizeFrames.h"

class QEvent;
class QMouseEvent;
class QRubberBand;
class QWindow;

// The run-time layout editor: while it has a container (EditControl) and is enabled, the user
// selects the container's controls with the mouse (a click, Ctrl-click with MutiSelKey, or a
// rubber band from the container's background), moves and resizes them through their frames,
// walks to the nearest sibling with the arrow keys, brings them to the front or sends them
// back (Ctrl+PageUp / Ctrl+PageDown), deletes them (Delete, with DelKey) and copies, cuts and
// pastes them through the clipboard (Ctrl+C / Ctrl+X / Ctrl+V, with CopyPasteKey).
//
// The container may be any QWidget. For what counts as a control, windowed or not, and as a
// component's owner, see EditorControls.h: a picture that stands for a non-windowed control
// carries the dynamic property "nonWindowed" = true (EditorControls::setNonWindowed). A pinned
// control (EditorControls::setPinned) is never selected: a press on it is a press on the
// container's background, which starts a rubber band. Ctrl+V pastes into the selected control
// only when it is a container (EditorControls::acceptsControls), otherwise beside it, into its
// parent. Only presses in the container's own window are edited: another window lying over
// the container keeps its clicks.
//
// The application-wide hook. While EditControl is set, the editor has an event filter on the
// application. Qt runs application filters latest-installed first, so the editor does not act
// there: its application filter only puts a second filter on each top-level QWindow that
// receives events, and the editor acts in that window filter. Object filters run after every
// application filter, so any filter installed before the editor (or after it) sees each event
// first, and an event such a filter stops never reaches the editor. The editor acts on the
// window-level mouse events, which Qt delivers before it picks the widget under the mouse:
// left presses, mouse moves and left releases, with the window and the screen position; the
// target is the widget the window system would deliver to (the mouse grabber, else the
// widget under the point). Writing nullptr to EditControl, the container's destruction and the
// editor's destruction all remove both filters.
//
// Events are std::function members, unassigned when empty; neither of the editor's own event
// kinds has a Sender. OnDragRect gets the band in the container's client coordinates.
//
// Clipboard: the entry is a ControlStream tree under ControlStream::kMimeType. Classes must be
// registered for creation by name (RegChildClass, ControlClassRegistry). A bad entry raises an
// AppError ("Invalid stream format", "Class %s not found", "A component named %s already
// exists", "'%s' is not a valid component name") before anything is made or deselected; an
// empty clipboard or one without the editor's entry changes nothing.
class TControlEdit : public TSizeFrames {
    Q_OBJECT
  public:
    using TControlEvent = std::function<void(QWidget* AControl, bool& Allowed)>;
    using TDragRectEvent = std::function<void(const QRect& DragRect, bool& AllowSelect)>;
    using TNotifyEvent = std::function<void(QObject* Sender)>;

    explicit TControlEdit(QObject* AOwner = nullptr);
    ~TControlEdit() override;

    QWidget* EditControl() const { return FEditControl; }
    void SetEditControl(QWidget* AControl);
    bool Enable() const { return FEnable; }
    void SetEnable(bool Value);
    TCtrlKey MutiSelKey() const { return FMutiSelKey; }
    void SetMutiSelKey(TCtrlKey k) { FMutiSelKey = k; }
    int DragThreshold() const { return FDragThreshold; }
    void SetDragThreshold(int v) { FDragThreshold = v; }
    bool CopyPasteKey() const { return FCopyPasteKey; }
    void SetCopyPasteKey(bool v) { FCopyPasteKey = v; }
    bool DelKey() const { return FDelKey; }
    void SetDelKey(bool v) { FDelKey = v; }

    TControlEvent OnSelect;
    TControlEvent OnDisSelect;
    TDragRectEvent OnDragRect;
    TNotifyEvent OnBeforeDelete;
    TNotifyEvent OnAfterDelete;
    // When assigned, a delete or cut hands each removed control to it (after the selection is
    // cleared) instead of destroying it, so that the program can keep it for an undo.
    std::function<void(QWidget* AControl)> OnRemoveControl;

    // The selected control when exactly one is selected.
    QWidget* Selected() const;
    int SelectionCount() const { return ChildCount(); }
    // The control of the frame that last received input.
    QWidget* Clicked() const;
    // The rubber band on screen, in screen coordinates; (0,0,0,0) when none is shown.
    EditRect DragRect() const;
    bool DrawingRubberBand() const { return FDraging; }

    void SelectChild(QWidget* AControl);
    void DelSelected();
    bool CopyToClipboard();
    bool PraseFromClipboard(QWidget* AParent);
    void RegChildClass();

    // The control under a screen point, front-most, searched into windowed controls; hidden
    // controls count.
    QWidget* ControlAtPos(QPoint globalPos) const;
    QWidget* GetSibling(QWidget* AControl, TSide Direction) const;
    QString GetUniqueName(const QString& AName, const QString& AClassName) const;
    void FitToParent(QWidget* AControl, QWidget* AParent) const;

    // The hook: one window-level event; returns true when the event is not to be delivered.
    bool AppMessage(QWindow* window, QEvent* event);

  protected:
    void DoKeyDown(int& Key, Qt::KeyboardModifiers Shift) override;
    int FrameDragThreshold() const override { return FDragThreshold; }
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class WindowHook;

    void Hook();
    void Unhook();
    void ContainerDestroyed();
    void DisSelectAll(bool& Allowed);
    void SelectInRect(const EditRect& screenRect);
    void CancelRubberBand();
    void ShowRubberBand(const EditRect& screenRect);
    bool MultiSelectDown(Qt::KeyboardModifiers modifiers) const;
    // The container itself, or a pinned control lying on it: where a press starts a rubber
    // band.
    bool IsBackground(const QWidget* target) const;
    // Where Ctrl+V puts the clipboard's controls with `selected` the only selection.
    QWidget* PasteTarget(QWidget* selected) const;
    QPoint ConfineToContainer(QPoint globalPos) const;
    QWidget* TargetOf(QWindow* window, QPointF windowPos) const;
    QObject* OwnerObject() const;
    QString NameBase(const QString& className) const;

    bool MousePress(QWindow* window, QMouseEvent* event);
    void MouseMove(QWindow* window, QMouseEvent* event);
    void MouseRelease(QWindow* window, QMouseEvent* event);

    QPointer<QWidget> FEditControl;
    TCtrlKey FMutiSelKey = ckCtrl;
    bool FDraging = false;
    int FDragThreshold = 3;
    bool FEnable = true;
    QPoint PointStart;
    QPoint PointEnd;
    EditRect FNewRect;
    EditRect FOldRect;
    bool FCopyPasteKey = false;
    bool FDelKey = false;

    bool m_hooked = false;
    WindowHook* m_windowHook = nullptr;
    QSet<QWindow*> m_hookedWindows;
    QPointer<QRubberBand> m_band;
};
