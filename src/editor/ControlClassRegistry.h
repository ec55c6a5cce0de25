#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>

class QMetaObject;
class QWidget;

// The classes of controls that a paste may create by name.
//
// Two things are kept apart, as the component streaming of the original framework kept them:
// how a class is constructed (the catalogue: Qt's common widget classes are in it from the
// start, a program adds its own with declare<T>()), and whether a class is registered for
// creation by name (registerClass(), which RegChildClass calls for the controls it finds).
// A class that is registered but that the catalogue cannot construct, and that has no
// Q_INVOKABLE default constructor either, is no more creatable than one never registered.
//
// Registering a class registers its ancestors too, up to QObject, stopping at the first
// ancestor already registered. The registry lives as long as the process.
class ControlClassRegistry {
  public:
    using Factory = std::function<QWidget*()>;

    // Teaches the catalogue how to construct T (a QWidget with a default constructor).
    template <typename T>
    static void declare() {
        declare(&T::staticMetaObject, [] { return static_cast<QWidget*>(new T()); });
    }
    static void declare(const QMetaObject* mo, Factory factory);

    static void registerClass(const QMetaObject* mo);
    static bool isRegistered(const QString& className);
    // Registered, a QWidget class, and constructible.
    static bool isCreatable(const QString& className);
    // The widget class's meta-object when registered, else nullptr.
    static const QMetaObject* metaObjectFor(const QString& className);
    // Creates an instance of a registered class without a parent; throws the error
    // "Class %s not found" when the class is not creatable.
    static QWidget* create(const QString& className);

    // Forgets every registration (the catalogue stays); for tests.
    static void unregisterAll();

  private:
    struct Entry {
        const QMetaObject* metaObject = nullptr;
        Factory factory;
    };
    static ControlClassRegistry& instance();
    ControlClassRegistry();

    QHash<QString, Entry> m_catalogue;
    QHash<QString, const QMetaObject*> m_registered;
};
