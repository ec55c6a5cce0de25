#include <QApplication>

#include "app/ApplicationSetup.h"
#include "app/TEXPDPrintForm.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setUpApplication();
    TEXPDPrintForm form;
    form.show();
    return app.exec();
}
