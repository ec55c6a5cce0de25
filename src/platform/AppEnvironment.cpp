#include "platform/AppEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>

namespace {
QString g_executableFolder;
QString g_workingFolder;
double g_screenDpi = 0;
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

QString AppEnvironment::settingsFilePath() {
    return QDir(executableFolder()).filePath(QStringLiteral("Quorvel.ini"));
}

QString AppEnvironment::dataFolder() {
    return QDir(executableFolder()).filePath(QStringLiteral("data"));
}

void AppEnvironment::setExecutableFolder(const QString& folder) {
    g_executableFolder = folder;
}
void AppEnvironment::setWorkingFolder(const QString& folder) {
    g_workingFolder = folder;
}
void AppEnvironment::setScreenDpi(double dpi) {
    g_screenDpi = dpi;
}

void AppEnvironment::reset() {
    g_executableFolder.clear();
    g_workingFolder.clear();
    g_screenDpi = 0;
}

QString AppEnvironment::applicationTitle() {
    return QStringLiteral("Quorvel快递单打印");
}
