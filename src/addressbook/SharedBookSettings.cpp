#include "addressbook/SharedBookSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>

#include "template/ProfileFile.h"

const QString SharedBookSettings::kSection = QStringLiteral("SharedAddressBook");

std::optional<SharedBookSettings> SharedBookSettings::read(const QString& iniPath) {
    const ProfileFile ini(iniPath);
    SharedBookSettings settings;
    settings.server = ini.readString(kSection, QStringLiteral("Server"), QString()).trimmed();
    if (settings.server.isEmpty()) return std::nullopt;
    settings.port = ini.readInteger(kSection, QStringLiteral("Port"), kDefaultPort);
    settings.database =
        ini.readString(kSection, QStringLiteral("Database"), QStringLiteral("quorvel")).trimmed();
    if (settings.database.isEmpty()) settings.database = QStringLiteral("quorvel");
    settings.user = ini.readString(kSection, QStringLiteral("User"), QString()).trimmed();
    settings.passwordFile =
        ini.readString(kSection, QStringLiteral("PasswordFile"), QString()).trimmed();
    return settings;
}

bool SharedBookSettings::readPassword(QString& password, QString* why) const {
    password.clear();
    if (passwordFile.isEmpty()) return true;
    const auto fail = [&](const QString& text) {
        if (why) *why = QStringLiteral("password file %1: %2").arg(passwordFile, text);
        return false;
    };
    const QFileInfo info(passwordFile);
    if (!info.isFile()) return fail(QStringLiteral("no such file"));
    constexpr QFile::Permissions kOthers = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                           QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if (info.permissions() & kOthers)
        return fail(QStringLiteral("readable by others; allow its owner only (chmod 600)"));
    QFile file(passwordFile);
    if (!file.open(QIODevice::ReadOnly)) return fail(file.errorString());
    // The first line; a line break at its end is not part of the password.
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    password = QString::fromUtf8(line);
    return true;
}

bool SharedBookSettings::configure(QSqlDatabase& db, QString* why) const {
    QString password;
    if (!readPassword(password, why)) return false;
    db.setHostName(server);
    db.setPort(port);
    db.setDatabaseName(database);
    db.setUserName(user);
    db.setPassword(password);
    return true;
}
