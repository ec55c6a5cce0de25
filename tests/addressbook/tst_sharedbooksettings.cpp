// Tests of the settings section that names a shared address book on a PostgreSQL server.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include "addressbook/SharedBookSettings.h"
#include "support/PostgresCluster.h"
#include "support/TestSupport.h"

namespace {

void writeFile(const QString& path, const QByteArray& bytes,
               QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    QVERIFY(file.setPermissions(permissions));
}

}  // namespace

class TestSharedBookSettings : public QObject {
    Q_OBJECT
  private slots:
    // Without a server the local book stays in use; a blank Server counts as none.
    void withoutAServerThereIsNoSharedBook() {
        TestFolders folders;
        QVERIFY(!SharedBookSettings::read(folders.settingsFile()));
        writeFile(folders.settingsFile(),
                  "[SharedAddressBook]\nServer=  \nDatabase=book\nUser=counter\n");
        QVERIFY(!SharedBookSettings::read(folders.settingsFile()));
    }

    void theSectionIsReadWithItsDefaults() {
        TestFolders folders;
        writeFile(folders.settingsFile(), "[SharedAddressBook]\nServer= counter1.local \n");
        auto settings = SharedBookSettings::read(folders.settingsFile());
        QVERIFY(settings);
        QCOMPARE(settings->server, QStringLiteral("counter1.local"));
        QCOMPARE(settings->port, 5432);
        QCOMPARE(settings->database, QStringLiteral("quorvel"));
        QVERIFY(settings->user.isEmpty() && settings->passwordFile.isEmpty());

        writeFile(folders.settingsFile(),
                  "[Other]\nServer=wrong\n[SharedAddressBook]\nServer=db\nPort=6543\n"
                  "Database=柜台\nUser=counter\nPasswordFile=/etc/q.pass\n");
        settings = SharedBookSettings::read(folders.settingsFile());
        QVERIFY(settings);
        QCOMPARE(settings->server, QStringLiteral("db"));
        QCOMPARE(settings->port, 6543);
        QCOMPARE(settings->database, QStringLiteral("柜台"));
        QCOMPARE(settings->user, QStringLiteral("counter"));
        QCOMPARE(settings->passwordFile, QStringLiteral("/etc/q.pass"));
    }

    // The password comes from a file only its owner may read; a file others may read, or a
    // missing one, is refused by name, and the password never shows in the reason.
    void thePasswordFileMustBeTheOwnersAlone() {
        QTemporaryDir dir;
        SharedBookSettings settings;
        settings.server = QStringLiteral("db");
        QString password = QStringLiteral("stale");
        QString why;
        QVERIFY(settings.readPassword(password, &why));
        QVERIFY(password.isEmpty());

        settings.passwordFile = dir.filePath(QStringLiteral("book.pass"));
        QVERIFY(!settings.readPassword(password, &why));
        QVERIFY(why.contains(settings.passwordFile));

        writeFile(settings.passwordFile, "s3cr3t-秘密\r\nsecond line\n");
        QVERIFY2(settings.readPassword(password, &why), qPrintable(why));
        QCOMPARE(password, QStringLiteral("s3cr3t-秘密"));

        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("refused"));
        for (QFile::Permissions loose : {QFile::ReadGroup, QFile::ReadOther, QFile::WriteOther}) {
            writeFile(settings.passwordFile, "s3cr3t-秘密\n",
                      QFile::ReadOwner | QFile::WriteOwner | loose);
            why.clear();
            password.clear();
            QVERIFY(!settings.readPassword(password, &why));
            QVERIFY(password.isEmpty());
            QVERIFY(why.contains(settings.passwordFile));
            QVERIFY(!why.contains(QStringLiteral("s3cr3t")));
            QVERIFY(!settings.configure(db, &why));
            QVERIFY(db.password().isEmpty());
        }
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("refused"));
    }

    // The settings reach a real server through its socket folder.
    void theSettingsConnectToARealServer() {
        PostgresCluster cluster;
        QVERIFY2(cluster.start(), qPrintable(cluster.error()));
        QVERIFY2(cluster.createDatabase(QStringLiteral("柜台")), qPrintable(cluster.error()));
        TestFolders folders;
        writeFile(
            folders.settingsFile(),
            QStringLiteral("[SharedAddressBook]\nServer=%1\nPort=%2\nDatabase=柜台\nUser=%3\n")
                .arg(cluster.socketFolder())
                .arg(cluster.port())
                .arg(cluster.superUser())
                .toUtf8());
        const auto settings = SharedBookSettings::read(folders.settingsFile());
        QVERIFY(settings);
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("shared"));
            QString why;
            QVERIFY2(settings->configure(db, &why), qPrintable(why));
            QVERIFY2(db.open(), qPrintable(db.lastError().text()));
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("SELECT current_database()")) && query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("柜台"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("shared"));
    }
};

QTEST_MAIN(TestSharedBookSettings)
#include "tst_sharedbooksettings.moc"
