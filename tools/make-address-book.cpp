// make-address-book <path>: makes the empty address book, the database file with the two
// empty tables 发货人 and 客户, protected by the program's database password (see
// src/addressbook/AddressBookFile.h for what that protection is and is not).
//
// It never overwrites: when anything exists at <path> it says so, exits with status 2 and
// leaves the file as it was. Other failures exit with status 1.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "addressbook/AddressBookFile.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 || args.at(1).startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "usage: make-address-book <path of QuorvelDB.qdb>\n");
        return 64;
    }
    const QString path = args.at(1);
    QString why;
    if (!AddressBookFile::create(path, QString::fromLatin1(AddressBookFile::kPassword), &why)) {
        std::fprintf(stderr, "make-address-book: %s\n", qPrintable(why));
        return why.contains(QLatin1String("already exists")) ? 2 : 1;
    }
    std::printf("made the empty address book %s\n", qPrintable(path));
    return 0;
}
