#pragma once

#include <QString>
#include <optional>

class QSqlDatabase;

// Where a shared address book lives: the section [SharedAddressBook] of the settings file.
//
//   [SharedAddressBook]
//   Server=counter1.local      ; host name, or the folder of the server's Unix socket
//   Port=5432                  ; optional, 5432 when missing
//   Database=quorvel           ; optional, "quorvel" when missing
//   User=counter               ; optional, the server's default user when missing
//   PasswordFile=/etc/quorvel/book.pass   ; optional; first line is the password
//
// Without a Server the section is absent as far as the program is concerned and the local
// file is the address book. The password is never kept in the settings file itself; the file
// holding it must be readable by its owner only, and neither the password nor the file's
// content ever appears in a message.
struct SharedBookSettings {
    static const QString kSection;  // "SharedAddressBook"
    static constexpr int kDefaultPort = 5432;

    QString server;
    int port = kDefaultPort;
    QString database;
    QString user;
    QString passwordFile;

    // The shared book named in the settings file at `iniPath`; nothing when none is.
    static std::optional<SharedBookSettings> read(const QString& iniPath);

    // The password from `passwordFile`: empty when no file is named. Fails (false, `why` says
    // which file and what is wrong, never its content) when the file is missing, unreadable,
    // or readable by its group or by everybody.
    bool readPassword(QString& password, QString* why) const;

    // Makes `db` (a QPSQL connection) point at the server; fails as readPassword does.
    bool configure(QSqlDatabase& db, QString* why) const;
};
