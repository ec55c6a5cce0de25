#include <QApplication>

#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(AppEnvironment::applicationTitle());
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    // Lets the desktop match the window to the menu entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("quorvel"));
    TEXPDPrintForm form;
    form.show();
    return app.exec();
}
