// Start-up of the main window as a user meets it: window creation (address book connect and
// fill, printer list), first showing (font list, settings file, courier switch with its picture
// and template load), and a courier switch on its own. Uses the real printers of the machine,
// the drawn courier pictures and an empty address book in a temporary program folder.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../tools/CourierPictures.h"
#include "addressbook/AddressBookFile.h"
#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"

namespace {
double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir exe, work;
    QDir(exe.path()).mkpath("data");
    QString why;
    if (!AddressBookFile::create(QDir(exe.path()).filePath("data/QuorvelDB.qdb"),
                                 QString::fromLatin1(AddressBookFile::kPassword), &why) ||
        !courierpictures::writeCourierPictures(work.path()).isEmpty()) {
        std::fprintf(stderr, "could not prepare the program folder\n");
        return 1;
    }
    AppEnvironment::setExecutableFolder(exe.path());
    AppEnvironment::setWorkingFolder(work.path());

    std::vector<double> create, show, courierSwitch;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        auto form = std::make_unique<TEXPDPrintForm>();
        create.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        form->show();
        QCoreApplication::processEvents();
        show.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        form->cbbNames->setCurrentIndex((run % 3));
        form->cbbNamesChange();
        courierSwitch.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("main window creation (connect, fill, printers)  %8.1f ms\n", median(create));
    std::printf("first showing (fonts, settings, courier switch) %8.1f ms\n", median(show));
    std::printf("courier switch (picture, template, fonts)       %8.1f ms\n",
                median(courierSwitch));
    return 0;
}
