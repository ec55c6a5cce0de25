#include "support/TestSupport.h"

#include <QDir>

#include "platform/AppEnvironment.h"

RecordingMessageBoxes::RecordingMessageBoxes() {
    MessageBoxes::install(this);
}

RecordingMessageBoxes::~RecordingMessageBoxes() {
    MessageBoxes::install(nullptr);
}

MessageBoxes::Answer RecordingMessageBoxes::show(QWidget*, Icon icon, const QString& text,
                                                 Buttons buttons) {
    shown.append({icon, text, buttons});
    if (buttons == Buttons::YesNoCancel) return nextQuestionAnswer;
    if (buttons != Buttons::OkCancel) return Answer::Ok;
    return onConfirm ? onConfirm() : nextAnswer;
}

QStringList RecordingMessageBoxes::texts() const {
    QStringList result;
    for (const auto& s : shown) result << s.text;
    return result;
}

TestFolders::TestFolders(double screenDpi) {
    QDir(m_exe.path()).mkpath(QStringLiteral("data"));
    AppEnvironment::setExecutableFolder(m_exe.path());
    AppEnvironment::setWorkingFolder(m_work.path());
    AppEnvironment::setUserFolders(userConfigFolder(), userDataFolder());
    AppEnvironment::setScreenDpi(screenDpi);
}

TestFolders::~TestFolders() {
    AppEnvironment::reset();
}

QString TestFolders::settingsFile() const {
    return QDir(m_exe.path()).filePath("Quorvel.ini");
}

QString TestFolders::dataFolder() const {
    return QDir(m_exe.path()).filePath("data");
}

QString TestFolders::userConfigFolder() const {
    return QDir(m_user.path()).filePath(".config/quorvel");
}

QString TestFolders::userDataFolder() const {
    return QDir(m_user.path()).filePath(".local/share/quorvel");
}
