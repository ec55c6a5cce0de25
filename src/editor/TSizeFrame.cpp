#include "editor/TSizeFrame.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <algorithm>
#include <cstdlib>

#include "editor/EditorControls.h"
#include "editor/TSizeFrames.h"
#include "platform/HandlerGuard.h"

namespace {

bool isArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down;
}

// The keys the editor and its frames act on; a frame with the focus claims them before any
// shortcut of the window can take them.
bool isCommandKey(const QKeyEvent* e) {
    const int key = e->key();
    if (isArrow(key) || key == Qt::Key_Delete) return true;
    if (!(e->modifiers() & Qt::ControlModifier)) return false;
    return key == Qt::Key_C || key == Qt::Key_X || key == Qt::Key_V || key == Qt::Key_PageUp ||
           key == Qt::Key_PageDown;
}

}  // namespace

TSizeFrame::TSizeFrame(TSizeFrames* AOwner) : QWidget(nullptr), FOwner(AOwner) {
    EditorControls::markEditorPart(this);
    // Transparent: the control and the siblings beneath show through everywhere but the
    // boxes.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
}

TSizeFrame::~TSizeFrame() {
    if (QWidget::mouseGrabber() == this) releaseMouse();
    delete m_overlay;
    SetControl(nullptr);
    if (FOwner) FOwner->FrameDestroyed(this);
}

void TSizeFrame::SetControl(QWidget* AControl) {
    if (FControl) {
        FControl->removeEventFilter(this);
        disconnect(FControl, nullptr, this, nullptr);
    }
    FControl = AControl;
    if (!AControl) return;
    setParent(AControl->parentWidget());
    PlaceAroundControl();
    AControl->installEventFilter(this);
    connect(AControl, &QObject::destroyed, this, &TSizeFrame::ControlDestroyed);
}

int TSizeFrame::ItemIndex() const {
    return FOwner ? int(FOwner->FFrameList.indexOf(const_cast<TSizeFrame*>(this))) : -1;
}

EditRect TSizeFrame::DragRect() const {
    return FOldClient.isEmpty() ? EditRect{} : FOldClient;
}

void TSizeFrame::PlaceAroundControl() {
    if (!FControl || !FOwner) return;
    setGeometry(frameGeometryFor(FControl->geometry(), FOwner->BoxWidth(), FOwner->BoxHeight()));
}

void TSizeFrame::Refresh() {
    if (!FControl || !FOwner) return;
    PlaceAroundControl();
    raise();
    FControl->update();
    update();
}

void TSizeFrame::Release() {
    deleteLater();
}

void TSizeFrame::Orphan() {
    if (QWidget::mouseGrabber() == this) releaseMouse();
    delete m_overlay;
    SetControl(nullptr);
    FOwner = nullptr;
    hide();
}

void TSizeFrame::ControlDestroyed() {
    FControl = nullptr;
    Release();
}

TDragStyle TSizeFrame::GetDragStyle(int X, int Y) const {
    if (!FOwner) return dsUnknown;
    return dragStyleAt(X, Y, width(), height(), FOwner->BoxWidth(), FOwner->BoxHeight());
}

EditRect TSizeFrame::ControlOnScreen() const {
    if (!FControl || !parentWidget()) return {};
    return EditRect::fromQRect(
        QRect(parentWidget()->mapToGlobal(FControl->pos()), FControl->size()));
}

void TSizeFrame::SetDragCursor(TDragStyle style) {
    switch (style) {
        case dsLeft:
        case dsRight:
            setCursor(Qt::SizeHorCursor);
            break;
        case dsTop:
        case dsBottom:
            setCursor(Qt::SizeVerCursor);
            break;
        case dsLeftTop:
        case dsRightBottom:
            setCursor(Qt::SizeFDiagCursor);
            break;
        case dsRightTop:
        case dsLeftBottom:
            setCursor(Qt::SizeBDiagCursor);
            break;
        case dsMove:
        case dsUnknown:
            unsetCursor();
            break;
    }
}

QPoint TSizeFrame::ConfinedPos(QPoint framePos) const {
    const QWidget* parent = parentWidget();
    if (!parent) return framePos;
    const QPoint origin = parent->mapToGlobal(QPoint(0, 0));
    QPoint global = mapToGlobal(framePos);
    global.setX(std::clamp(global.x(), origin.x(), origin.x() + std::max(0, parent->width() - 1)));
    global.setY(std::clamp(global.y(), origin.y(), origin.y() + std::max(0, parent->height() - 1)));
    return mapFromGlobal(global);
}

// --- Qt events, each run inside the handler guard -------------------------------------------

void TSizeFrame::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    runGuarded([&] { MouseDown(event->button(), event->modifiers(), p.x(), p.y()); });
}

void TSizeFrame::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    QPoint p = event->position().toPoint();
    if (FDraging) p = ConfinedPos(p);
    runGuarded([&] { MouseMove(event->modifiers(), p.x(), p.y()); });
}

void TSizeFrame::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = ConfinedPos(event->position().toPoint());
    runGuarded([&] { MouseUp(event->button(), event->modifiers(), p.x(), p.y()); });
}

void TSizeFrame::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt sends the second click of a double click only as this event; it is a press as well,
    // after the double click itself.
    event->accept();
    const QPoint p = event->position().toPoint();
    runGuarded([&] {
        if (event->button() == Qt::LeftButton) DblClick();
        if (FOwner) MouseDown(event->button(), event->modifiers(), p.x(), p.y());
    });
}

void TSizeFrame::keyPressEvent(QKeyEvent* event) {
    // The frame takes every key, so that typed text never reaches the control beneath.
    event->accept();
    int key = event->key();
    runGuarded([&] { KeyDown(key, event->modifiers()); });
}

bool TSizeFrame::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && FOwner &&
        isCommandKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void TSizeFrame::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = FOwner ? FOwner->PopupMenu() : nullptr;
    if (!menu) {
        event->ignore();
        return;
    }
    event->accept();
    menu->popup(event->globalPos());
}

void TSizeFrame::paintEvent(QPaintEvent*) {
    if (!FOwner || FDraging || FOwner->ChildCount() == 0) return;
    const bool single = FOwner->ChildCount() == 1;
    QPainter painter(this);
    const QColor colour = single ? FOwner->HighLightBoxColor() : FOwner->BoxColor();
    for (const QRect& box :
         frameBoxes(width(), height(), FOwner->BoxWidth(), FOwner->BoxHeight(), single))
        painter.fillRect(box, colour);
}

bool TSizeFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FControl && FOwner) {
        switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
                raise();
                PlaceAroundControl();
                update();
                break;
            case QEvent::EnabledChange:
                update();
                break;
            default:
                break;
        }
    }
    return false;
}

// --- The frame's handling, in the editor's own terms -----------------------------------------

void TSizeFrame::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
    TSizeFrames* set = FOwner;
    if (!set) return;
    set->FCurFrame = this;
    set->DoMouseDown(Button, Shift, X, Y);
    if (!FOwner) return;  // a handler may have destroyed the set
    setFocus(Qt::MouseFocusReason);
    if (set->Locked() || Button != Qt::LeftButton) return;

    FDraging = true;
    FLastPos = QPoint(X, Y);
    grabMouse();
    if (set->ChildCount() == 1) {
        FDragStyle = GetDragStyle(X, Y);
    } else {
        for (TSizeFrame* f : set->FFrameList) f->FDragStyle = dsMove;
    }
    for (TSizeFrame* f : set->FFrameList) {
        f->FDraging = true;
        f->FNewClient = f->ControlOnScreen();
    }
}

void TSizeFrame::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y) {
    TSizeFrames* set = FOwner;
    if (!set) return;
    set->FCurFrame = this;
    set->DoMouseMove(Shift, X, Y);
    if (!FOwner) return;  // a handler may have destroyed the set
    if (set->Locked()) {
        setCursor(Qt::ForbiddenCursor);
        return;
    }
    if (!FDraging && set->ChildCount() == 1) {
        FDragStyle = GetDragStyle(X, Y);
        SetDragCursor(FDragStyle);
    }
    if (!FDraging) return;

    const int d = std::max(std::abs(X - FLastPos.x()), std::abs(Y - FLastPos.y()));
    if (FDragStyle == dsMove && d > set->FrameDragThreshold()) set->SetDragCursor(true);
    set->FDragOffset = QPoint(X - FLastPos.x(), Y - FLastPos.y());
    const QList<TSizeFrame*> frames = set->FFrameList;
    for (TSizeFrame* f : frames) f->DrawDragRect(set->FDragOffset, FDragStyle);
    if (FControl && parentWidget() && !FNewClient.isEmpty()) {
        const QRect onScreen = FNewClient.toQRect();
        emit set->dragMoved(
            FControl, QRect(parentWidget()->mapFromGlobal(onScreen.topLeft()), onScreen.size()));
    }
}

void TSizeFrame::DrawDragRect(QPoint Offset, TDragStyle Style) {
    TSizeFrames* set = FOwner;
    if (!set) return;
    FNewClient = ControlOnScreen();
    if (set->SnapToGrid()) Offset = snapOffset(Offset, set->GridXSize(), set->GridYSize());
    FNewClient = applyDrag(FNewClient, Offset, Style);

    // The overlay replaces the XOR drawing: it shows FNewClient, and is gone once the
    // rectangle is empty.
    const QRect shown = FNewClient.normalized().toQRect();
    if (Style == dsUnknown || shown.isEmpty() || !window()) {
        delete m_overlay;
    } else {
        if (!m_overlay) {
            m_overlay = new QRubberBand(QRubberBand::Rectangle, window());
            EditorControls::markEditorPart(m_overlay);
            m_overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
        }
        m_overlay->setGeometry(QRect(window()->mapFromGlobal(shown.topLeft()), shown.size()));
        m_overlay->raise();
        m_overlay->show();
    }
    FOldClient = FNewClient;
}

void TSizeFrame::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
    TSizeFrames* set = FOwner;
    if (!set) return;
    set->FCurFrame = this;
    set->DoMouseUp(Button, Shift, X, Y);
    if (!FOwner) return;  // a handler may have destroyed the set
    if (set->Locked() || Button != Qt::LeftButton) return;

    FDraging = false;
    if (QWidget::mouseGrabber() == this) releaseMouse();
    set->SetDragCursor(false);

    QWidget* curParent = set->FCurFrame ? set->FCurFrame->parentWidget() : nullptr;
    const TSizeFrames::EditScope edit(*set);
    const QList<QPointer<TSizeFrame>> frames(set->FFrameList.begin(), set->FFrameList.end());
    for (const QPointer<TSizeFrame>& f : frames) {
        if (!f) continue;
        QWidget* parent = f->parentWidget();
        const EditRect target = f->FNewClient;
        f->FDragStyle = dsUnknown;
        f->FDraging = false;
        f->DrawDragRect(QPoint(), dsUnknown);
        if (parent && parent == curParent && f->FControl) {
            const QPoint lt = parent->mapFromGlobal(QPoint(target.Left, target.Top));
            const QPoint rb = parent->mapFromGlobal(QPoint(target.Right, target.Bottom));
            // An edge drag keeps the minimum size (applyDrag); a move keeps the size.
            f->FControl->setGeometry(lt.x(), lt.y(), rb.x() - lt.x(), rb.y() - lt.y());
        }
        if (f) f->Refresh();
    }
}

void TSizeFrame::KeyDown(int& Key, Qt::KeyboardModifiers Shift) {
    TSizeFrames* set = FOwner;
    if (!set) return;
    set->FCurFrame = this;
    set->DoKeyDown(Key, Shift);
    if (!FOwner) return;

    // Steps of one pixel, grid or not, locked or not.
    auto step = [&](bool resize) {
        const QList<QPointer<TSizeFrame>> frames(set->FFrameList.begin(), set->FFrameList.end());
        for (const QPointer<TSizeFrame>& f : frames) {
            if (!f || !f->FControl) continue;
            QRect r = f->FControl->geometry();
            const int dx = Key == Qt::Key_Left ? -1 : Key == Qt::Key_Right ? 1 : 0;
            const int dy = Key == Qt::Key_Up ? -1 : Key == Qt::Key_Down ? 1 : 0;
            if (resize)
                r.setSize(QSize(resizedByStep(r.width(), dx), resizedByStep(r.height(), dy)));
            else
                r.translate(dx, dy);
            f->FControl->setGeometry(r);
            // A hidden control gets its Move and Resize events only when shown.
            if (f) f->PlaceAroundControl();
        }
    };
    if (!isArrow(Key)) return;
    const TSizeFrames::EditScope edit(*set);
    if (isCtrlKeyDown(set->MoveHotKey(), Shift)) step(false);
    if (isCtrlKeyDown(set->ReSizeHotKey(), Shift)) step(true);
}

void TSizeFrame::DblClick() {
    if (!FOwner) return;
    FOwner->FCurFrame = this;
    FOwner->DoDblClick();
}
