#include <QApplication>
#include <QTextStream>

#include "app/ApplicationSetup.h"
#include "app/TEXPDPrintForm.h"
#include "batch/BatchCommandLine.h"
#include "platform/HeadlessPlatform.h"

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const bool batch = BatchCommandLine::isRequested(arguments);
    if (batch) chooseHeadlessPlatformWithoutDisplay();
    QApplication app(argc, argv);
    setUpApplication();
    if (batch) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return BatchCommandLine(out, err).run(QApplication::arguments());
    }
    TEXPDPrintForm form;
    form.show();
    return app.exec();
}
