#include "app/ApplicationSetup.h"

#include <QGuiApplication>

void setUpApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
    // Lets the desktop match the window to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvel"));
}
