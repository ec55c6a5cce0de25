#include "app/ApplicationSetup.h"

#include <QCoreApplication>

void setUpApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
}
