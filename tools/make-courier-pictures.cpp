// make-courier-pictures <output folder>
// Draws our own waybill form pictures (元智捷诚.jpg, 龙邦快递.jpg, 顺丰快递.jpg) and the
// fall-back vornix.jpg into the folder (created if needed). Runs offscreen, no display needed.
#include <QGuiApplication>
#include <QTextStream>

#include "CourierPictures.h"

int main(int argc, char* argv[]) {
    // Needs no display: draw offscreen unless told otherwise.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: make-courier-pictures <output folder>\n";
        return 2;
    }
    const QString error = courierpictures::writeCourierPictures(args.at(1));
    if (!error.isEmpty()) {
        err << error << '\n';
        return 1;
    }
    return 0;
}
