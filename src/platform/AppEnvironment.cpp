#include "platform/AppEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

// The build gives the installed data folder relative to the installed executable, so that an
// installation works under whatever prefix it was put.
#ifndef QUORVEL_DATA_FROM_BIN
#error "QUORVEL_DATA_FROM_BIN must name the installed data folder relative to the executable"
#endif

namespace {
QString g_executableFolder;
QString g_workingFolder;
QString g_userConfigFolder;
QString g_userDataFolder;
double g_screenDpi = 0;
QRect g_availableScreenArea;

const QString kSettingsFileName = QStringLiteral("Quorvel.ini");
const QString kUserFolderName = QStringLiteral("quorvel");

QString userFolder(const QString& injected, QStandardPaths::StandardLocation base) {
    if (!injected.isEmpty()) return injected;
    return QDir(QStandardPaths::writableLocation(base)).filePath(kUserFolderName);
}
}  // namespace

QString AppEnvironment::executableFolder() {
    return g_executableFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                        : g_executableFolder;
}

QString AppEnvironment::workingFolder() {
    return g_workingFolder.isEmpty() ? QDir::currentPath() : g_workingFolder;
}

double AppEnvironment::screenDpi() {
    if (g_screenDpi > 0) return g_screenDpi;
    if (auto* screen = QGuiApplication::primaryScreen()) return screen->logicalDotsPerInch();
    return 96.0;
}

QRect AppEnvironment::availableScreenArea() {
    if (g_availableScreenArea.isValid()) return g_availableScreenArea;
    if (auto* screen = QGuiApplication::primaryScreen()) return screen->availableGeometry();
    return {};
}

// A settings file already beside the executable always wins, so a portable folder stays
// portable. An installed copy is never portable otherwise, even where it could write (root may
// write anywhere, and nobody wants settings in /usr/bin).
bool AppEnvironment::isPortable() {
    const QDir exe(executableFolder());
    if (QFileInfo::exists(exe.filePath(kSettingsFileName))) return true;
    if (QFileInfo(installedDataFolder()).isDir()) return false;
    return QFileInfo(exe.path()).isWritable();
}

QString AppEnvironment::installedDataFolder() {
    return QDir::cleanPath(
        QDir(executableFolder()).filePath(QStringLiteral(QUORVEL_DATA_FROM_BIN)));
}

QString AppEnvironment::userConfigFolder() {
    return userFolder(g_userConfigFolder, QStandardPaths::GenericConfigLocation);
}

QString AppEnvironment::userDataFolder() {
    return userFolder(g_userDataFolder, QStandardPaths::GenericDataLocation);
}

QString AppEnvironment::settingsFilePath() {
    if (isPortable()) return QDir(executableFolder()).filePath(kSettingsFileName);
    // The first write must find the folder; a failure to make it shows up as that write's
    // "Unable to write to" error.
    const QString folder = userConfigFolder();
    QDir().mkpath(folder);
    return QDir(folder).filePath(kSettingsFileName);
}

QString AppEnvironment::dataHome() {
    return isPortable() ? executableFolder() : userDataFolder();
}

QString AppEnvironment::dataFolder() {
    return QDir(dataHome()).filePath(QStringLiteral("data"));
}

// The working folder comes first, as it always has; the user's own pictures override those
// that came with the program; a portable folder and an installation carry their own.
QStringList AppEnvironment::pictureFolders() {
    QStringList folders{workingFolder()};
    if (!isPortable()) folders << userDataFolder();
    folders << executableFolder() << installedDataFolder();
    return folders;
}

void AppEnvironment::setExecutableFolder(const QString& folder) {
    g_executableFolder = folder;
}
void AppEnvironment::setWorkingFolder(const QString& folder) {
    g_workingFolder = folder;
}
void AppEnvironment::setUserFolders(const QString& configFolder, const QString& dataFolder) {
    g_userConfigFolder = configFolder;
    g_userDataFolder = dataFolder;
}
void AppEnvironment::setScreenDpi(double dpi) {
    g_screenDpi = dpi;
}
void AppEnvironment::setAvailableScreenArea(const QRect& area) {
    g_availableScreenArea = area;
}

void AppEnvironment::reset() {
    g_executableFolder.clear();
    g_workingFolder.clear();
    g_userConfigFolder.clear();
    g_userDataFolder.clear();
    g_screenDpi = 0;
    g_availableScreenArea = QRect();
}

QString AppEnvironment::applicationTitle() {
    return QStringLiteral("Quorvel快递单打印");
}
