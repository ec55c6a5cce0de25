#pragma once

#include <QString>

// Where the program lives and what screen it draws on. Each value comes from the platform
// unless a test has set it, so a test can give the program a temporary executable folder,
// a temporary working folder and a screen of 96 or 120 pixels per inch.
class AppEnvironment {
  public:
    // The folder of the executable: the settings file and data/ live here.
    static QString executableFolder();
    // The current working folder: the courier pictures are looked up here.
    static QString workingFolder();
    // The screen's logical pixels per inch, R in every length conversion.
    static double screenDpi();

    static QString settingsFilePath();  // executableFolder()/Quorvel.ini
    static QString dataFolder();        // executableFolder()/data

    static void setExecutableFolder(const QString& folder);
    static void setWorkingFolder(const QString& folder);
    static void setScreenDpi(double dpi);
    static void reset();  // back to the platform's values

    static QString applicationTitle();
};
