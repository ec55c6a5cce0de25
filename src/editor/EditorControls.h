#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QMetaObject;
class QObject;
class QWidget;

// How the layout editor sees the widgets it edits.
//
// Controls. Every child widget of the edited container is a control, except the editor's own
// selection frames and overlays and any top-level window. Inside a control only the children
// with an object name count as controls: the unnamed ones (a combo box's line edit, a scroll
// area's viewport "qt_...") are the control's own parts, never edited on their own. Controls
// pasted into a control are always named, so they count.
//
// Windowed and non-windowed controls. In Qt every control is a QWidget. A control that stands
// for a non-windowed one (the courier picture Image1: it is painted beneath the fields and
// can hold no controls) carries the dynamic property "nonWindowed" = true, set with
// setNonWindowed(). Child order lists the non-windowed controls first and then the windowed
// ones, each group from back to front; the hit test, the neighbour walks and the clipboard
// follow that order, and bringing a control to the front or sending it to the back keeps the
// non-windowed group beneath the windowed one.
//
// Pinned controls. A control that carries the dynamic property "pinned" = true (setPinned) is
// the reference the other controls are placed against, such as the picture of the printed
// form: the editor never selects it, so it is never moved, resized, nudged, cut or deleted,
// and a press on it counts as a press on the container's own background.
//
// Containers. Only a windowed control whose nearest Qt class is a plain QWidget, QFrame or
// QGroupBox accepts pasted controls; a paste with any other control selected goes to that
// control's parent. An input control such as a combo box never holds controls of its own.
//
// Owner. The owner of a widget, in whose components a name must be unique, is its top-level
// window; its components are all named objects inside it.
namespace EditorControls {

inline constexpr char kNonWindowedProperty[] = "nonWindowed";
inline constexpr char kPinnedProperty[] = "pinned";

bool isNonWindowed(const QWidget* w);
void setNonWindowed(QWidget* w, bool nonWindowed = true);

bool isPinned(const QWidget* w);
void setPinned(QWidget* w, bool pinned = true);

bool acceptsControls(const QWidget* w);

// The editor's selection frames and drag overlays, which no walk over controls includes.
bool isEditorPart(const QObject* o);
void markEditorPart(QObject* o);

// Whether `w` is a control inside `parent` by the rules above (`container` is the edited
// container, whose direct children need no name).
bool isControlOf(const QWidget* w, const QWidget* parent, const QWidget* container);

// The controls directly inside `parent`, in child order.
QList<QWidget*> controlChildren(const QWidget* parent, const QWidget* container);

// The controls directly inside `parent` that the editor may select: controlChildren without
// the pinned ones.
QList<QWidget*> selectableChildren(const QWidget* parent, const QWidget* container);

// Front and back within the control's own group (non-windowed beneath windowed).
void bringToFront(QWidget* w, const QWidget* container);
void sendToBack(QWidget* w, const QWidget* container);

// The nearest Qt class of a class: QComboBox for QComboBox and for a class derived from it.
// Qt's classes play the part of the framework classes whose names, without their first
// letter, give pasted components their names (ComboBox1, Label1).
QString frameworkClassName(const QMetaObject* mo);

// The owner of a widget, and the names of an owner's components (the objects named inside
// it, Qt's own "qt_" parts left out).
QObject* ownerOf(QWidget* w);
QStringList componentNames(const QObject* owner);
bool hasComponentNamed(const QObject* owner, const QString& name);

}  // namespace EditorControls
