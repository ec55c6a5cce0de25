#include "editor/TControlEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <memory>

#include "editor/ControlClassRegistry.h"
#include "editor/ControlStream.h"
#include "editor/EditorControls.h"
#include "editor/TSizeFrame.h"
#include "platform/AppError.h"
#include "platform/HandlerGuard.h"

using namespace EditorControls;

// The filter the editor puts on each top-level window: it runs after every application filter.
class TControlEdit::WindowHook : public QObject {
  public:
    explicit WindowHook(TControlEdit* editor) : QObject(editor), m_editor(editor) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWindowType()) return false;
        return m_editor->AppMessage(static_cast<QWindow*>(watched), event);
    }

  private:
    TControlEdit* m_editor;
};

TControlEdit::TControlEdit(QObject* AOwner) : TSizeFrames(AOwner) {
    m_windowHook = new WindowHook(this);
}

TControlEdit::~TControlEdit() {
    // Never left installed: a destroyed editor is no one's filter.
    SetEditControl(nullptr);
    CancelRubberBand();
}

// --- Container and hook ----------------------------------------------------------------------

void TControlEdit::SetEditControl(QWidget* AControl) {
    if (AControl == FEditControl) return;
    if (FEditControl) {
        Unhook();
        disconnect(FEditControl, nullptr, this, nullptr);
    }
    FEditControl = AControl;
    if (AControl) {
        connect(AControl, &QObject::destroyed, this, &TControlEdit::ContainerDestroyed);
        Hook();
    }
}

void TControlEdit::ContainerDestroyed() {
    FEditControl = nullptr;
    Unhook();
}

void TControlEdit::Hook() {
    if (m_hooked || !qApp) return;
    m_hooked = true;
    qApp->installEventFilter(this);
}

void TControlEdit::Unhook() {
    CancelRubberBand();
    if (!m_hooked) return;
    m_hooked = false;
    if (qApp) qApp->removeEventFilter(this);
    for (QWindow* w : std::as_const(m_hookedWindows)) {
        w->removeEventFilter(m_windowHook);
        disconnect(w, nullptr, this, nullptr);
    }
    m_hookedWindows.clear();
}

bool TControlEdit::eventFilter(QObject* watched, QEvent* event) {
    // The application filter only makes sure the window's own filter is there; the editor acts
    // in that one, after every application filter has had the event.
    auto* window = watched->isWindowType() ? static_cast<QWindow*>(watched) : nullptr;
    if (m_hooked && window && !m_hookedWindows.contains(window)) {
        m_hookedWindows.insert(window);
        connect(window, &QObject::destroyed, this,
                [this, window] { m_hookedWindows.remove(window); });
        window->installEventFilter(m_windowHook);
    }
    Q_UNUSED(event);
    return false;
}

void TControlEdit::SetEnable(bool Value) {
    FEnable = Value;
    if (!Value) {
        CancelRubberBand();
        Clear();
    }
}

QWidget* TControlEdit::Selected() const {
    return ChildCount() == 1 ? GetChild(0) : nullptr;
}

QWidget* TControlEdit::Clicked() const {
    return CurFrame() ? CurFrame()->Control() : nullptr;
}

EditRect TControlEdit::DragRect() const {
    return FOldRect.isEmpty() ? EditRect{} : FOldRect;
}

// --- The hook --------------------------------------------------------------------------------

bool TControlEdit::AppMessage(QWindow* window, QEvent* event) {
    if (!FEnable || !FEditControl) return false;
    // Only the container's own window is edited: a dialog that lies over the container keeps
    // its clicks, however its controls line up with the ones beneath.
    if (window != FEditControl->window()->windowHandle()) return false;
    // A drop-down list or a menu tracks the mouse in its own loop, out of the editor's sight.
    if (QApplication::activePopupWidget()) return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    bool handled = false;
    runGuarded([&] {
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton)
            handled = MousePress(window, mouse);
        else if (type == QEvent::MouseMove)
            MouseMove(window, mouse);
        else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
            MouseRelease(window, mouse);
    });
    return handled;
}

QWidget* TControlEdit::TargetOf(QWindow* window, QPointF windowPos) const {
    if (QWidget* grabber = QWidget::mouseGrabber()) return grabber;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() != window) continue;
        QWidget* child = top->childAt(windowPos.toPoint());
        return child ? child : top;
    }
    return nullptr;
}

bool TControlEdit::IsBackground(const QWidget* target) const {
    return target && FEditControl &&
           (target == FEditControl || (isPinned(target) && target->parentWidget() == FEditControl));
}

bool TControlEdit::MultiSelectDown(Qt::KeyboardModifiers modifiers) const {
    return isCtrlKeyDown(FMutiSelKey, modifiers);
}

QPoint TControlEdit::ConfineToContainer(QPoint globalPos) const {
    // Qt cannot hold the cursor inside the container; the band's corner stays inside instead.
    if (!FEditControl) return globalPos;
    const QPoint origin = FEditControl->mapToGlobal(QPoint(0, 0));
    return QPoint(
        std::clamp(globalPos.x(), origin.x(), origin.x() + std::max(0, FEditControl->width() - 1)),
        std::clamp(globalPos.y(), origin.y(),
                   origin.y() + std::max(0, FEditControl->height() - 1)));
}

bool TControlEdit::MousePress(QWindow* window, QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    QWidget* target = TargetOf(window, event->position());
    bool Allowed = true;
    FOldRect = {global.x(), global.y(), global.x() - 1, global.y() - 1};

    QWidget* C = ControlAtPos(global);
    if (!IsBackground(target) && !C) return false;
    if (C && IndexOf(C) != -1) return false;  // its frame takes the press
    if (auto* frame = qobject_cast<TSizeFrame*>(target); frame && frame->Owner() == this) {
        const QPoint p = frame->mapFromGlobal(global);
        if (frame->GetDragStyle(p.x(), p.y()) != dsMove) return false;  // a box: resize
    }
    if (!C) {
        // Without a multi-select key the background keeps the selection.
        if (FMutiSelKey != ckNone && !MultiSelectDown(event->modifiers())) DisSelectAll(Allowed);
        FDraging = true;
        PointStart = global;
        PointEnd = global;
        return false;
    }
    if (FMutiSelKey == ckNone) return false;
    if (!MultiSelectDown(event->modifiers())) DisSelectAll(Allowed);

    Allowed = true;
    if (OnSelect) OnSelect(C, Allowed);
    if (!Allowed) return false;
    TSizeFrame* frame = AddChild(C);
    if (!frame) return false;
    // The frame gets this very press, so that one press and drag selects and moves. It now
    // lies over C, so Qt itself delivers the press to it (with Qt's own bookkeeping of
    // presses, such as the first click of a double click); a press on some other window
    // that lies over C is taken from that window and handed to the frame.
    if (TargetOf(window, event->position()) == frame) return false;
    QMouseEvent press(QEvent::MouseButtonPress, frame->mapFromGlobal(global), global,
                      event->button(), event->buttons(), event->modifiers());
    QCoreApplication::sendEvent(frame, &press);
    return true;
}

void TControlEdit::MouseMove(QWindow* window, QMouseEvent* event) {
    if (!FDraging || !IsBackground(TargetOf(window, event->position()))) return;
    PointEnd = ConfineToContainer(event->globalPosition().toPoint());
    FNewRect = EditRect{PointStart.x(), PointStart.y(), PointEnd.x(), PointEnd.y()}.normalized();
    ShowRubberBand(FNewRect);
    FOldRect = FNewRect;
}

void TControlEdit::MouseRelease(QWindow* window, QMouseEvent* event) {
    if (!FDraging || !IsBackground(TargetOf(window, event->position()))) return;
    FDraging = false;
    delete m_band;

    bool Allowed = true;
    const QPoint a = FEditControl->mapFromGlobal(QPoint(FOldRect.Left, FOldRect.Top));
    const QPoint b = FEditControl->mapFromGlobal(QPoint(FOldRect.Right, FOldRect.Bottom));
    const EditRect r = EditRect{a.x(), a.y(), b.x(), b.y()}.normalized();
    if (OnDragRect) OnDragRect(QRect(r.Left, r.Top, r.width(), r.height()), Allowed);
    if (Allowed) SelectInRect(FOldRect);
    const QPoint global = event->globalPosition().toPoint();
    FOldRect = {global.x(), global.y(), global.x() - 1, global.y() - 1};
}

void TControlEdit::ShowRubberBand(const EditRect& screenRect) {
    QWidget* top = FEditControl ? FEditControl->window() : nullptr;
    const QRect shown = screenRect.toQRect();
    if (!top || shown.isEmpty()) {
        delete m_band;
        return;
    }
    if (!m_band) {
        m_band = new QRubberBand(QRubberBand::Rectangle, top);
        markEditorPart(m_band);
        m_band->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    m_band->setGeometry(QRect(top->mapFromGlobal(shown.topLeft()), shown.size()));
    m_band->raise();
    m_band->show();
}

void TControlEdit::CancelRubberBand() {
    FDraging = false;
    delete m_band;
    FOldRect = {};
}

void TControlEdit::DisSelectAll(bool& Allowed) {
    if (!OnDisSelect) {
        Clear();
        return;
    }
    // Allowed is not reset between the calls: a refusal holds for the rest.
    for (int i = ChildCount() - 1; i >= 0; --i) {
        OnDisSelect(GetChild(i), Allowed);
        if (Allowed) RemoveChild(i);
    }
}

void TControlEdit::SelectInRect(const EditRect& screenRect) {
    if (!FEditControl) return;
    for (QWidget* child : controlChildren(FEditControl, FEditControl)) {
        const QPoint origin = child->mapToGlobal(QPoint(0, 0));
        const EditRect r{origin.x(), origin.y(), origin.x() + child->width(),
                         origin.y() + child->height()};
        if (intersects(r, screenRect)) AddChild(child);
    }
}

QWidget* TControlEdit::ControlAtPos(QPoint globalPos) const {
    QWidget* parent = FEditControl;
    QWidget* winner = nullptr;
    while (parent) {
        const QPoint p = parent->mapFromGlobal(globalPos);
        QWidget* found = nullptr;
        for (QWidget* c : selectableChildren(parent, FEditControl)) {
            const QRect g = c->geometry();
            if (g.x() <= p.x() && p.x() <= g.x() + g.width() && g.y() <= p.y() &&
                p.y() <= g.y() + g.height())
                found = c;  // the last match is the front-most
        }
        if (!found) break;
        winner = found;
        parent = isNonWindowed(found) ? nullptr : found;
    }
    return winner;
}

QWidget* TControlEdit::GetSibling(QWidget* AControl, TSide Direction) const {
    if (!AControl) return nullptr;
    const QList<QWidget*> siblings = selectableChildren(AControl->parentWidget(), FEditControl);
    QList<QRect> bounds;
    for (QWidget* s : siblings) bounds << s->geometry();
    const int i = EditorLayout::sibling(bounds, int(siblings.indexOf(AControl)), Direction);
    return i < 0 ? nullptr : siblings[i];
}

void TControlEdit::SelectChild(QWidget* AControl) {
    if (!AControl) return;
    Clear();
    AddChild(AControl);
}

void TControlEdit::DelSelected() {
    const EditScope edit(*this);
    // Frames first go to the container, so that deleting a selected control cannot take the
    // frame of a control selected inside it (perhaps the very frame handling this key).
    QList<QPointer<QWidget>> doomed;
    for (int i = ChildCount() - 1; i >= 0; --i) {
        TSizeFrame* f = GetFrame(i);
        if (FEditControl && f->parentWidget() != FEditControl) {
            const QRect g = f->geometry();
            const QPoint at =
                f->parentWidget()
                    ? FEditControl->mapFromGlobal(f->parentWidget()->mapToGlobal(g.topLeft()))
                    : g.topLeft();
            f->setParent(FEditControl);
            f->setGeometry(QRect(at, g.size()));
            f->show();
        }
        doomed << f->Control();
    }
    if (OnRemoveControl) {
        Clear();
        for (const QPointer<QWidget>& c : doomed)
            if (c) OnRemoveControl(c);
        return;
    }
    // A control inside another selected one may already be gone with it.
    for (const QPointer<QWidget>& c : doomed) delete c.data();
}

// --- Keys ------------------------------------------------------------------------------------

void TControlEdit::DoKeyDown(int& Key, Qt::KeyboardModifiers Shift) {
    TSizeFrames::DoKeyDown(Key, Shift);

    if (FDelKey && Key == Qt::Key_Delete) {
        if (OnBeforeDelete) OnBeforeDelete(this);
        DelSelected();
        if (OnAfterDelete) OnAfterDelete(this);
    }

    const Qt::KeyboardModifiers modifiers =
        Shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (ChildCount() == 1 && modifiers == Qt::NoModifier) {
        TSide direction = sCenter;
        switch (Key) {
            case Qt::Key_Left:
                direction = sLeft;
                break;
            case Qt::Key_Up:
                direction = sTop;
                break;
            case Qt::Key_Right:
                direction = sRight;
                break;
            case Qt::Key_Down:
                direction = sBottom;
                break;
            default:
                break;
        }
        QWidget* selected = GetChild(0);
        if (direction != sCenter && selected) {
            if (QWidget* sibling = GetSibling(selected, direction)) {
                bool leave = true;
                bool enter = true;
                if (OnDisSelect) OnDisSelect(selected, leave);
                if (OnSelect) OnSelect(sibling, enter);
                if (leave && enter) SelectChild(sibling);
            }
        }
    }

    if (Shift & Qt::ControlModifier) {
        switch (Key) {
            case Qt::Key_PageUp:
            case Qt::Key_PageDown: {
                for (int i = 0; i < ChildCount(); ++i) {
                    QWidget* c = GetChild(i);
                    if (!c) continue;
                    if (Key == Qt::Key_PageUp)
                        bringToFront(c, FEditControl);
                    else
                        sendToBack(c, FEditControl);
                }
                Refresh();  // the frames stay above the controls they mark
                break;
            }
            case Qt::Key_C:
                if (FCopyPasteKey) CopyToClipboard();
                break;
            case Qt::Key_X:
                if (FCopyPasteKey) {
                    const EditScope edit(*this);
                    CopyToClipboard();
                    DelSelected();
                }
                break;
            case Qt::Key_V:
                if (FCopyPasteKey && ChildCount() == 1)
                    PraseFromClipboard(PasteTarget(GetChild(0)));
                break;
            default:
                break;
        }
    }
}

// --- Clipboard -------------------------------------------------------------------------------

QWidget* TControlEdit::PasteTarget(QWidget* selected) const {
    // Into a container; beside anything else. A copy inside a field would lie hidden under
    // it and take every click meant for the field.
    if (acceptsControls(selected)) return selected;
    if (selected && selected->parentWidget()) return selected->parentWidget();
    return FEditControl;
}

void TControlEdit::RegChildClass() {
    std::function<void(QWidget*)> walk = [&](QWidget* parent) {
        for (QWidget* child : controlChildren(parent, FEditControl)) {
            ControlClassRegistry::registerClass(child->metaObject());
            if (!isNonWindowed(child)) walk(child);
        }
    };
    if (FEditControl) walk(FEditControl);
}

QObject* TControlEdit::OwnerObject() const {
    if (auto* w = qobject_cast<QWidget*>(parent())) return w->window();
    if (parent()) return parent();
    return FEditControl ? FEditControl->window() : nullptr;
}

QString TControlEdit::NameBase(const QString& className) const {
    const QMetaObject* mo = ControlClassRegistry::metaObjectFor(className);
    return (mo ? frameworkClassName(mo) : className).mid(1);
}

QString TControlEdit::GetUniqueName(const QString& AName, const QString& AClassName) const {
    return uniqueComponentName(AName, NameBase(AClassName), componentNames(OwnerObject()));
}

void TControlEdit::FitToParent(QWidget* AControl, QWidget* AParent) const {
    if (!AControl || !AParent) return;
    QRect g = AControl->geometry();
    if (g.x() + g.width() > AParent->width()) g.moveLeft(AParent->width() - g.width());
    if (g.y() + g.height() > AParent->height()) g.moveTop(AParent->height() - g.height());
    AControl->setGeometry(g);
    // Qt hides a widget that changes parent; it keeps showing unless it was hidden on purpose.
    const bool hidden =
        AControl->isHidden() && AControl->testAttribute(Qt::WA_WState_ExplicitShowHide);
    AControl->setParent(AParent);
    // A new child stands in front of its own kind: a non-windowed one stays beneath the
    // windowed ones.
    if (isNonWindowed(AControl)) bringToFront(AControl, FEditControl);
    AControl->setVisible(!hidden);
}

bool TControlEdit::CopyToClipboard() {
    TSizeFrame* cur = CurFrame();
    if (!cur || !cur->Control()) return true;
    QWidget* P = cur->Control()->parentWidget();

    // From the last selected to the first; controls of another parent leave the selection.
    QList<QWidget*> moved;
    for (int i = ChildCount() - 1; i >= 0; --i) {
        QWidget* C = GetChild(i);
        if (!C) continue;
        if (C->parentWidget() != P)
            RemoveChild(C);
        else
            moved << C;
    }

    ControlNode root;
    root.className = QStringLiteral("QWidget");
    root.objectName = QString::fromLatin1(ControlStream::kRootName);
    for (bool nonWindowedGroup : {true, false})
        for (QWidget* C : moved)
            if (isNonWindowed(C) == nonWindowedGroup)
                root.children << ControlStream::capture(C, FEditControl);

    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(ControlStream::kMimeType), ControlStream::write(root));
    QGuiApplication::clipboard()->setMimeData(mime);

    // The copied controls now stand after their siblings, the first selected lowest.
    for (auto it = moved.crbegin(); it != moved.crend(); ++it) bringToFront(*it, FEditControl);
    Refresh();
    return true;
}

bool TControlEdit::PraseFromClipboard(QWidget* AParent) {
    if (!AParent) return true;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const QString format = QString::fromLatin1(ControlStream::kMimeType);
    if (!mime || !mime->hasFormat(format)) return true;
    const ControlNode root = ControlStream::read(mime->data(format));
    const EditScope edit(*this);

    // Everything is checked before anything is made: the classes, in the order a reader
    // would meet them, and the names.
    const QList<const ControlNode*> all = root.preorder();
    for (const ControlNode* n : all)
        if (!ControlClassRegistry::isCreatable(n->className))
            throw AppError(QStringLiteral("Class %1 not found").arg(n->className));
    const QList<const ControlNode*> components = all.mid(1);
    QSet<QString> readNames;
    for (const ControlNode* n : components) {
        if (n->objectName.isEmpty()) continue;
        const QString folded = n->objectName.toCaseFolded();
        if (readNames.contains(folded))
            throw AppError(
                QStringLiteral("A component named %1 already exists").arg(n->objectName));
        readNames.insert(folded);
    }

    // Free names, from the last component read to the first, each free of the names given
    // before it.
    QObject* editorOwner = OwnerObject();
    QObject* targetOwner = ownerOf(AParent);
    FreeNames takenHere(componentNames(editorOwner));
    FreeNames takenThere(targetOwner == editorOwner ? QStringList() : componentNames(targetOwner));
    QHash<QString, QString> bases;  // class name -> name base
    QHash<const ControlNode*, QString> names;
    for (auto it = components.crbegin(); it != components.crend(); ++it) {
        const ControlNode* n = *it;
        auto base = bases.find(n->className);
        if (base == bases.end()) base = bases.insert(n->className, NameBase(n->className));
        const QString name = takenHere.find(n->objectName, *base);
        if (targetOwner != editorOwner && takenThere.isTaken(name))
            throw AppError(QStringLiteral("A component named %1 already exists").arg(name));
        names.insert(n, name);
        takenHere.take(name);
        takenThere.take(name);
    }

    // Make the pasted controls (nothing can fail from here on), then put them in place.
    std::vector<std::unique_ptr<QWidget>> made;
    QHash<const ControlNode*, QWidget*> widgets;
    for (const ControlNode& top : root.children)
        made.emplace_back(ControlStream::build(top, &widgets));
    for (auto it = widgets.cbegin(); it != widgets.cend(); ++it)
        it.value()->setObjectName(names.value(it.key()));

    Clear();
    for (int i = int(made.size()) - 1; i >= 0; --i) {
        QWidget* w = made[i].release();
        if (!root.children[i].visible) w->setVisible(false);
        FitToParent(w, AParent);
        AddChild(w);
    }
    return true;
}
