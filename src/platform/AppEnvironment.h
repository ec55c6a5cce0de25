#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

// Where the program lives and what screen it draws on. Each value comes from the platform
// unless a test has set it, so a test can give the program a temporary executable folder,
// a temporary working folder, temporary user folders and a screen of 96 or 120 pixels per inch
// and a screen of a chosen size.
//
// Two layouts. Portable: the executable's folder is writable or already holds Quorvel.ini;
// the settings file and data/ lie beside the executable. Installed: the executable lies in the
// bin folder of an installation (its pictures in ../share/quorvel) or in a folder it cannot
// write; the settings file lies in the user's configuration folder and data/ in the user's
// data folder, both made when first needed.
class AppEnvironment {
  public:
    // The folder of the executable.
    static QString executableFolder();
    // The current working folder: the courier pictures are looked up here first.
    static QString workingFolder();
    // The screen's logical pixels per inch, R in every length conversion.
    static double screenDpi();
    // The part of the screen a window may take (the desktop's panels left out), in logical
    // pixels; an empty rectangle when there is no screen.
    static QRect availableScreenArea();

    static bool isPortable();
    // The pictures that come with an installation (../share/quorvel from the executable).
    static QString installedDataFolder();
    // The user's own folders of this program (~/.config/quorvel, ~/.local/share/quorvel).
    static QString userConfigFolder();
    static QString userDataFolder();

    static QString settingsFilePath();  // Quorvel.ini beside the executable or in the user's
                                        // configuration folder
    static QString dataHome();          // the folder that holds data/
    static QString dataFolder();        // dataHome()/data, where the address book lies
    // The folders searched, in order, for a courier picture given by bare file name.
    static QStringList pictureFolders();

    static void setExecutableFolder(const QString& folder);
    static void setWorkingFolder(const QString& folder);
    static void setUserFolders(const QString& configFolder, const QString& dataFolder);
    static void setScreenDpi(double dpi);
    static void setAvailableScreenArea(const QRect& area);
    static void reset();  // back to the platform's values

    static QString applicationTitle();
};
