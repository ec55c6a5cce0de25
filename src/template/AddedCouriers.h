#pragma once

#include <QString>
#include <QStringList>

class ProfileFile;

// The couriers the user added to the three that come with the program. They are listed, in the
// order added, in a section of their own of the settings file:
//
//   [AddedExpress]
//   Names=中通快递|韵达快递
//
// One key holds the whole list, so that adding or removing a courier is a single write that
// either happens or not. '|' can never be part of a name, since every name is a file name.
// A file without the section lists none. Each courier's template is a section named like it,
// its picture "<name>.jpg", exactly as for the built-in couriers.
class AddedCouriers {
  public:
    static QStringList read(const ProfileFile& ini);
    static void write(ProfileFile& ini, const QStringList& names);

    // The couriers every copy of the program knows, in the order the picker lists them.
    static const QStringList& builtIn();

    // Why `name` cannot name a new courier beside `listed` (empty when it can): it is empty,
    // already listed (letter case aside, as section names are matched), the name of another
    // section of the settings file, or not usable as a file name on any system the program
    // runs on.
    static QString refusal(const QString& name, const QStringList& listed);
};
