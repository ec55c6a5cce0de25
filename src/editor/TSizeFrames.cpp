#include "editor/TSizeFrames.h"

#include <QGuiApplication>
#include <QMenu>
#include <QWidget>

#include "editor/EditorControls.h"
#include "editor/TSizeFrame.h"
#include "platform/AppError.h"

bool isCtrlKeyDown(TCtrlKey key, Qt::KeyboardModifiers shift) {
    switch (key) {
        case ckCtrl:
            return shift.testFlag(Qt::ControlModifier);
        case ckShift:
            return shift.testFlag(Qt::ShiftModifier);
        case ckAlt:
            return shift.testFlag(Qt::AltModifier);
        case ckNone:
            return false;
    }
    return false;
}

TSizeFrames::TSizeFrames(QObject* AOwner) : QObject(AOwner) {}

TSizeFrames::EditScope::EditScope(TSizeFrames& set) : m_set(&set) {
    if (set.m_editDepth++ == 0) emit set.editStarting();
}

TSizeFrames::EditScope::~EditScope() {
    if (m_set && --m_set->m_editDepth == 0) emit m_set->editFinished();
}

TSizeFrames::~TSizeFrames() {
    SetDragCursor(false);
    // Frames have no owner and live in the controls' parents; without their set they would
    // point at nothing. Each is cut loose (unhooked, hidden, inert) and deleted.
    const auto frames = m_madeFrames;
    FFrameList.clear();
    FCurFrame = nullptr;
    for (const QPointer<TSizeFrame>& f : frames) {
        if (!f) continue;
        f->Orphan();
        f->deleteLater();
    }
}

QMenu* TSizeFrames::PopupMenu() const {
    return FPopupMenu;
}

void TSizeFrames::SetPopupMenu(QMenu* menu) {
    // The frames read the menu from the set, and the QPointer forgets a destroyed menu, so
    // every frame has the new menu at once and none keeps a destroyed one.
    FPopupMenu = menu;
}

TSizeFrame* TSizeFrames::AddChild(QWidget* AChild) {
    // A pinned control is what the others are placed against; it never joins a selection, so
    // no drag, nudge, cut or delete can reach it.
    if (!AChild || qobject_cast<TSizeFrame*>(AChild) || EditorControls::isPinned(AChild) ||
        IndexOf(AChild) != -1)
        return nullptr;
    if (AChild->isWindow() || !AChild->parentWidget())
        throw AppError(QStringLiteral("不能加入Form对象"));
    auto* frame = new TSizeFrame(this);
    FFrameList.append(frame);
    m_madeFrames.append(frame);
    frame->SetControl(AChild);
    frame->show();
    frame->raise();
    frame->setFocus(Qt::OtherFocusReason);
    emit selectionChanged();
    return frame;
}

void TSizeFrames::RemoveChild(QWidget* AChild) {
    if (TSizeFrame* f = FindFrame(AChild)) f->Release();
}

void TSizeFrames::RemoveChild(int nIndex) {
    if (nIndex < 0 || nIndex >= FFrameList.size())
        throw AppError(QStringLiteral("List index out of bounds (%1)").arg(nIndex));
    FFrameList[nIndex]->Release();
}

void TSizeFrames::Clear() {
    const bool hadSelection = !FFrameList.isEmpty();
    for (int i = ChildCount() - 1; i >= 0; --i) FFrameList[i]->Release();
    FFrameList.clear();
    if (hadSelection) emit selectionChanged();
}

int TSizeFrames::IndexOf(const QWidget* AChild) const {
    for (int i = 0; i < FFrameList.size(); ++i)
        if (FFrameList[i]->Control() == AChild) return i;
    return -1;
}

void TSizeFrames::Refresh() {
    const QList<QPointer<TSizeFrame>> frames(FFrameList.begin(), FFrameList.end());
    for (const QPointer<TSizeFrame>& f : frames)
        if (f) f->Refresh();
}

QWidget* TSizeFrames::GetChild(int Index) const {
    TSizeFrame* f = GetFrame(Index);
    return f ? f->Control() : nullptr;
}

TSizeFrame* TSizeFrames::GetFrame(int Index) const {
    return Index >= 0 && Index < FFrameList.size() ? FFrameList[Index] : nullptr;
}

TSizeFrame* TSizeFrames::FindFrame(const QWidget* AChild) const {
    const int i = IndexOf(AChild);
    return i < 0 ? nullptr : FFrameList[i];
}

QList<QWidget*> TSizeFrames::LiveControls() const {
    QList<QWidget*> controls;
    for (TSizeFrame* f : FFrameList)
        if (QWidget* c = f->Control()) controls << c;
    return controls;
}

namespace {

QList<QRect> boundsOf(const QList<QWidget*>& controls) {
    QList<QRect> bounds;
    for (QWidget* c : controls) bounds << c->geometry();
    return bounds;
}

}  // namespace

void TSizeFrames::ApplyBounds(const QList<QWidget*>& controls, const QList<QRect>& bounds) {
    for (int i = 0; i < controls.size() && i < bounds.size(); ++i)
        if (controls[i]->geometry() != bounds[i]) controls[i]->setGeometry(bounds[i]);
}

QWidget* TSizeFrames::GetAlignControl(TSide Side) const {
    const QList<QWidget*> controls = LiveControls();
    const int i = EditorLayout::alignControl(boundsOf(controls), Side);
    return i < 0 ? nullptr : controls[i];
}

QWidget* TSizeFrames::GetNearChild(QWidget* AControl, TSide Direction) const {
    const QList<QWidget*> controls = LiveControls();
    const int i =
        EditorLayout::nearChild(boundsOf(controls), int(controls.indexOf(AControl)), Direction);
    return i < 0 ? nullptr : controls[i];
}

int TSizeFrames::GetTotalWidth() const {
    int total = 0;
    for (QWidget* c : LiveControls()) total += c->width();
    return total;
}

int TSizeFrames::GetTotalHeight() const {
    int total = 0;
    for (QWidget* c : LiveControls()) total += c->height();
    return total;
}

void TSizeFrames::AlignTo(TSide Side, TAlignStyle AlignStyle) {
    const EditScope edit(*this);
    const QList<QWidget*> controls = LiveControls();
    if (controls.size() < 2) return;
    ApplyBounds(controls, EditorLayout::alignTo(boundsOf(controls), Side, AlignStyle));
    Refresh();
}

void TSizeFrames::SpaceEqu(TAlignStyle AlignStyle) {
    const EditScope edit(*this);
    const QList<QWidget*> controls = LiveControls();
    const QList<QRect> bounds = EditorLayout::spaceEqu(boundsOf(controls), AlignStyle);
    if (bounds.isEmpty()) return;  // too few controls, or no room for a gap of a pixel
    ApplyBounds(controls, bounds);
    Refresh();
}

void TSizeFrames::WidthEqu() {
    const EditScope edit(*this);
    const QList<QWidget*> controls = LiveControls();
    if (controls.size() < 2) return;
    ApplyBounds(controls, EditorLayout::widthEqu(boundsOf(controls)));
    Refresh();
}

void TSizeFrames::HeightEqu() {
    const EditScope edit(*this);
    const QList<QWidget*> controls = LiveControls();
    if (controls.size() < 2) return;
    ApplyBounds(controls, EditorLayout::heightEqu(boundsOf(controls)));
    Refresh();
}

void TSizeFrames::DoMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TSizeFrames::DoMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TSizeFrames::DoMouseMove(Qt::KeyboardModifiers Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TSizeFrames::DoKeyDown(int& Key, Qt::KeyboardModifiers Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TSizeFrames::DoDblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TSizeFrames::FrameDestroyed(TSizeFrame* frame) {
    if (FFrameList.removeAll(frame) > 0) emit selectionChanged();
    m_madeFrames.removeAll(frame);
    m_madeFrames.removeAll(nullptr);
    if (FCurFrame == frame) FCurFrame = nullptr;
}

void TSizeFrames::SetDragCursor(bool on) {
    if (on == m_dragCursor) return;
    m_dragCursor = on;
    if (on)
        QGuiApplication::setOverrideCursor(Qt::DragMoveCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}
