#include "editor/EditorControls.h"

#include <QMetaObject>
#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace EditorControls {
namespace {

constexpr char kEditorPartProperty[] = "quorvelEditorPart";

bool isQtInternalName(const QString& name) {
    return name.startsWith(QLatin1String("qt_"));
}

}  // namespace

bool isNonWindowed(const QWidget* w) {
    return w && w->property(kNonWindowedProperty).toBool();
}

void setNonWindowed(QWidget* w, bool nonWindowed) {
    w->setProperty(kNonWindowedProperty, nonWindowed);
}

bool isPinned(const QWidget* w) {
    return w && w->property(kPinnedProperty).toBool();
}

void setPinned(QWidget* w, bool pinned) {
    w->setProperty(kPinnedProperty, pinned);
}

bool acceptsControls(const QWidget* w) {
    if (!w || isNonWindowed(w)) return false;
    const QString cls = frameworkClassName(w->metaObject());
    return cls == QLatin1String("QWidget") || cls == QLatin1String("QFrame") ||
           cls == QLatin1String("QGroupBox");
}

bool isEditorPart(const QObject* o) {
    return o && o->property(kEditorPartProperty).toBool();
}

void markEditorPart(QObject* o) {
    o->setProperty(kEditorPartProperty, true);
}

bool isControlOf(const QWidget* w, const QWidget* parent, const QWidget* container) {
    if (!w || w->parentWidget() != parent || w->isWindow() || isEditorPart(w)) return false;
    const QString name = w->objectName();
    if (isQtInternalName(name)) return false;
    return parent == container || !name.isEmpty();
}

QList<QWidget*> controlChildren(const QWidget* parent, const QWidget* container) {
    QList<QWidget*> nonWindowed;
    QList<QWidget*> windowed;
    if (!parent) return {};
    // QObject::children() lists the child widgets from back to front.
    for (QObject* o : parent->children()) {
        if (!o->isWidgetType()) continue;
        auto* w = static_cast<QWidget*>(o);
        if (!isControlOf(w, parent, container)) continue;
        (isNonWindowed(w) ? nonWindowed : windowed) << w;
    }
    return nonWindowed + windowed;
}

QList<QWidget*> selectableChildren(const QWidget* parent, const QWidget* container) {
    QList<QWidget*> children = controlChildren(parent, container);
    children.removeIf([](const QWidget* w) { return isPinned(w); });
    return children;
}

void bringToFront(QWidget* w, const QWidget* container) {
    if (!isNonWindowed(w)) {
        w->raise();
        return;
    }
    // A non-windowed control comes to the front of its group only: it stays beneath every
    // windowed sibling, as a picture stays beneath the fields laid over it.
    for (QWidget* s : controlChildren(w->parentWidget(), container)) {
        if (s != w && !isNonWindowed(s)) {
            w->stackUnder(s);
            return;
        }
    }
    w->raise();
}

void sendToBack(QWidget* w, const QWidget* container) {
    if (isNonWindowed(w)) {
        w->lower();
        return;
    }
    for (QWidget* s : controlChildren(w->parentWidget(), container)) {
        if (s != w && !isNonWindowed(s)) {
            w->stackUnder(s);
            return;
        }
    }
}

QString frameworkClassName(const QMetaObject* mo) {
    for (const QMetaObject* m = mo; m; m = m->superClass()) {
        const QString name = QString::fromLatin1(m->className());
        if (name.size() > 1 && name[0] == QLatin1Char('Q') && name[1].isUpper()) return name;
    }
    return mo ? QString::fromLatin1(mo->className()) : QString();
}

QObject* ownerOf(QWidget* w) {
    return w ? w->window() : nullptr;
}

QStringList componentNames(const QObject* owner) {
    QStringList names;
    if (!owner) return names;
    for (const QObject* o : owner->findChildren<QObject*>()) {
        const QString name = o->objectName();
        if (!name.isEmpty() && !isQtInternalName(name)) names << name;
    }
    return names;
}

bool hasComponentNamed(const QObject* owner, const QString& name) {
    const QStringList names = componentNames(owner);
    return std::any_of(names.begin(), names.end(),
                       [&](const QString& n) { return n.compare(name, Qt::CaseInsensitive) == 0; });
}

}  // namespace EditorControls
