#include "editor/ControlClassRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "platform/AppError.h"

ControlClassRegistry& ControlClassRegistry::instance() {
    static ControlClassRegistry registry;
    return registry;
}

ControlClassRegistry::ControlClassRegistry() {
    auto add = [this](const QMetaObject* mo, Factory f) {
        m_catalogue.insert(QString::fromLatin1(mo->className()), {mo, std::move(f)});
    };
    add(&QWidget::staticMetaObject, [] { return new QWidget; });
    add(&QFrame::staticMetaObject, [] { return new QFrame; });
    add(&QLabel::staticMetaObject, [] { return new QLabel; });
    add(&QComboBox::staticMetaObject, [] { return new QComboBox; });
    add(&QLineEdit::staticMetaObject, [] { return new QLineEdit; });
    add(&QPushButton::staticMetaObject, [] { return new QPushButton; });
    add(&QCheckBox::staticMetaObject, [] { return new QCheckBox; });
    add(&QRadioButton::staticMetaObject, [] { return new QRadioButton; });
    add(&QGroupBox::staticMetaObject, [] { return new QGroupBox; });
}

void ControlClassRegistry::declare(const QMetaObject* mo, Factory factory) {
    instance().m_catalogue.insert(QString::fromLatin1(mo->className()), {mo, std::move(factory)});
}

void ControlClassRegistry::registerClass(const QMetaObject* mo) {
    auto& registered = instance().m_registered;
    for (const QMetaObject* m = mo; m; m = m->superClass()) {
        const QString name = QString::fromLatin1(m->className());
        if (registered.contains(name)) break;
        registered.insert(name, m);
    }
}

bool ControlClassRegistry::isRegistered(const QString& className) {
    return instance().m_registered.contains(className);
}

const QMetaObject* ControlClassRegistry::metaObjectFor(const QString& className) {
    const QMetaObject* mo = instance().m_registered.value(className);
    return mo && mo->inherits(&QWidget::staticMetaObject) ? mo : nullptr;
}

bool ControlClassRegistry::isCreatable(const QString& className) {
    const QMetaObject* mo = metaObjectFor(className);
    if (!mo) return false;
    const Entry entry = instance().m_catalogue.value(className);
    if (entry.metaObject == mo && entry.factory) return true;
    // A class may instead offer a Q_INVOKABLE constructor that takes no argument (or only
    // defaulted ones, which moc lists as a constructor without them).
    for (int i = 0; i < mo->constructorCount(); ++i)
        if (mo->constructor(i).parameterCount() == 0) return true;
    return false;
}

QWidget* ControlClassRegistry::create(const QString& className) {
    if (!isCreatable(className))
        throw AppError(QStringLiteral("Class %1 not found").arg(className));
    const QMetaObject* mo = metaObjectFor(className);
    const Entry entry = instance().m_catalogue.value(className);
    QObject* made = entry.metaObject == mo && entry.factory ? entry.factory() : mo->newInstance();
    auto* widget = qobject_cast<QWidget*>(made);
    if (!widget) {
        delete made;
        throw AppError(QStringLiteral("Class %1 not found").arg(className));
    }
    return widget;
}

void ControlClassRegistry::unregisterAll() {
    instance().m_registered.clear();
}
