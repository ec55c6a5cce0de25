#include <QApplication>

#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(AppEnvironment::applicationTitle());
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    TEXPDPrintForm form;
    form.show();
    return app.exec();
}
