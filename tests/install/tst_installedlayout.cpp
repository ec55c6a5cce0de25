#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "../addressbook/AddressBookTestData.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "platform/AppEnvironment.h"
#include "support/MainWindowFixture.h"
#include "template/ProfileFile.h"

using namespace testdata;

namespace {
const QString kLongbang = QStringLiteral("龙邦快递");
const QStringList kPictures{QStringLiteral("元智捷诚"), QStringLiteral("龙邦快递"),
                            QStringLiteral("顺丰快递"), QStringLiteral("vornix")};

// An installation under a private prefix: the executable's folder prefix/bin and the pictures in
// prefix/share/quorvel, as `cmake --install` lays them out. Points AppEnvironment's executable
// folder at prefix/bin for the lifetime of the owning test fixture (which resets it).
class InstalledPrefix {
  public:
    InstalledPrefix() {
        QDir(m_prefix.path()).mkpath(QStringLiteral("bin"));
        QDir(m_prefix.path()).mkpath(QStringLiteral("share/quorvel"));
        AppEnvironment::setExecutableFolder(bin());
    }
    QString bin() const { return QDir(m_prefix.path()).filePath(QStringLiteral("bin")); }
    QString shared() const {
        return QDir(m_prefix.path()).filePath(QStringLiteral("share/quorvel"));
    }

  private:
    QTemporaryDir m_prefix;
};

void writePicture(const QString& folder, const QString& name, const QColor& colour) {
    QDir().mkpath(folder);
    QImage picture(64, 36, QImage::Format_RGB32);
    picture.fill(colour);
    QVERIFY(picture.save(QDir(folder).filePath(name + QStringLiteral(".jpg")), "JPG"));
}

QColor shownColour(TEXPDPrintForm& form) {
    return form.Image1->pixmap().toImage().pixelColor(5, 5);
}

bool near(const QColor& a, const QColor& b) {
    return qAbs(a.red() - b.red()) < 16 && qAbs(a.green() - b.green()) < 16 &&
           qAbs(a.blue() - b.blue()) < 16;
}

int hiddenFields(TEXPDPrintForm& form) {
    int hidden = 0;
    for (WaybillField* f : form.bandFields()) hidden += f->isHidden() ? 1 : 0;
    return hidden;
}

QString userSettingsFile(const MainWindowFixture& fx) {
    return QDir(fx.folders.userConfigFolder()).filePath(QStringLiteral("Quorvel.ini"));
}

QString userBook(const MainWindowFixture& fx) {
    return bookPath(QDir(fx.folders.userDataFolder()).filePath(QStringLiteral("data")));
}

// The fixture puts the pictures into the working folder; an installed program started from
// elsewhere finds none there.
void emptyTheWorkingFolder(const MainWindowFixture& fx) {
    for (const QString& name : kPictures) fx.removePicture(name);
}
}  // namespace

class TestInstalledLayout : public QObject {
    Q_OBJECT
  private slots:
    void aWritableFolderOrASettingsFileBesideTheExecutableMeansPortable() {
        TestFolders folders;
        QVERIFY(AppEnvironment::isPortable());
        QCOMPARE(AppEnvironment::settingsFilePath(), folders.settingsFile());
        QCOMPARE(AppEnvironment::dataFolder(), folders.dataFolder());

        InstalledPrefix installed;
        QVERIFY(!AppEnvironment::isPortable());  // even where it could write
        QCOMPARE(AppEnvironment::settingsFilePath(),
                 QDir(folders.userConfigFolder()).filePath("Quorvel.ini"));
        QVERIFY(QFileInfo(folders.userConfigFolder()).isDir());  // ready for the first write
        QCOMPARE(AppEnvironment::dataFolder(), QDir(folders.userDataFolder()).filePath("data"));

        QFile ini(QDir(installed.bin()).filePath("Quorvel.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.close();
        QVERIFY(AppEnvironment::isPortable());
        QCOMPARE(AppEnvironment::settingsFilePath(), ini.fileName());
        QCOMPARE(AppEnvironment::dataFolder(), QDir(installed.bin()).filePath("data"));
    }

    void aFolderTheProgramCannotWriteIsNotPortable() {
        TestFolders folders;
        QTemporaryDir plain;
        AppEnvironment::setExecutableFolder(plain.path());
        QVERIFY(
            QFile::setPermissions(plain.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const bool writable = QFileInfo(plain.path()).isWritable();
        const bool portable = AppEnvironment::isPortable();
        QFile::setPermissions(
            plain.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (writable) QSKIP("permissions do not bind this user (root)");
        QVERIFY(!portable);
    }

    void installedProgramStartedElsewhereShowsItsPicturesAndKeepsSettingsInTheUserFolder() {
        MainWindowFixture fx;
        InstalledPrefix installed;
        emptyTheWorkingFolder(fx);
        for (const QString& name : kPictures)
            writePicture(installed.shared(), name, name == "vornix" ? Qt::gray : Qt::white);

        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbNames->currentText(), kLongbang);
        QVERIFY(near(shownColour(form), Qt::white));  // the courier's form, not the fall-back
        QCOMPARE(hiddenFields(form), 0);
        QVERIFY(fx.boxes.shown.isEmpty());  // the empty address book was made and opened
        QVERIFY(form.addressBook->isConnected());
        QVERIFY(QFile::exists(userBook(fx)));

        chooseItem(form.cbbfontSize, "14");
        QCOMPARE(ProfileFile(userSettingsFile(fx)).readString(kLongbang, "Textfontsize", {}),
                 QString("14"));
        QVERIFY(fx.boxes.shown.isEmpty());
        // Nothing lands in the installation.
        QCOMPARE(QDir(installed.bin()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void savedTemplateAndAddressBookSurviveARestart() {
        MainWindowFixture fx;
        InstalledPrefix installed;
        TEXPDPrintForm& first = fx.start();
        chooseItem(first.cbbfontSize, "16");
        QTest::mouseClick(first.btnApply, Qt::LeftButton);
        QVERIFY(fx.boxes.shown.isEmpty());
        execOn(userBook(fx), QStringLiteral("INSERT INTO 发货人 (发货人) VALUES (?)"), {"张三"});

        TEXPDPrintForm& second = fx.start();
        QCOMPARE(second.cbbfontSize->currentText(), QString("16"));
        QCOMPARE(second.cbbSendNames->count(), 1);  // the book was kept, not made anew
        QCOMPARE(second.cbbSendNames->itemText(0), QString("张三"));
        QVERIFY(fx.boxes.shown.isEmpty());
    }

    void aUserBookThatCannotBeMadeIsReportedAsAFailedConnection() {
        MainWindowFixture fx;
        InstalledPrefix installed;
        // A file where the data folder should be stops the folder and the book being made.
        QDir().mkpath(fx.folders.userDataFolder());
        QFile blocker(QDir(fx.folders.userDataFolder()).filePath("data"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TEXPDPrintForm& form = fx.start();
        QVERIFY(!form.addressBook->isConnected());
        QCOMPARE(fx.boxes.texts().value(0), QString("数据库连接设置错误！"));
    }

    void portableProgramLeavesAMissingBookMissing() {
        MainWindowFixture fx;
        QVERIFY(QFile::remove(bookPath(fx.folders.dataFolder())));
        fx.start();
        QCOMPARE(fx.boxes.texts().value(0), QString("数据库连接设置错误！"));
        QVERIFY(!QFile::exists(bookPath(fx.folders.dataFolder())));
        QVERIFY(!QFile::exists(userBook(fx)));
    }

    // Working folder, then the user's own pictures, then beside the executable, then the
    // installation's; the first folder holding the file gives it.
    void picturesAreLookedUpInOrder() {
        MainWindowFixture fx;
        InstalledPrefix installed;
        emptyTheWorkingFolder(fx);
        const QList<QPair<QString, QColor>> folders{
            {fx.folders.workingFolder(), Qt::red},
            {fx.folders.userDataFolder(), Qt::green},
            {installed.bin(), Qt::blue},
            {installed.shared(), Qt::yellow},
        };
        for (const auto& [folder, colour] : folders) writePicture(folder, kLongbang, colour);
        writePicture(installed.shared(), "vornix", Qt::gray);

        TEXPDPrintForm& form = fx.start();
        for (const auto& [folder, colour] : folders) {
            QVERIFY2(near(shownColour(form), colour), qPrintable(folder));
            QVERIFY(QFile::remove(QDir(folder).filePath(kLongbang + ".jpg")));
            chooseItem(form.cbbNames, kLongbang);
        }
        QVERIFY(near(shownColour(form), Qt::gray));
        QCOMPARE(hiddenFields(form), 10);
    }

    void portableProgramStartedElsewhereFindsThePicturesBesideItself() {
        MainWindowFixture fx;
        emptyTheWorkingFolder(fx);
        writePicture(fx.folders.executableFolder(), kLongbang, Qt::white);
        writePicture(fx.folders.executableFolder(), "vornix", Qt::gray);
        // The user's folders are for installed programs only.
        writePicture(fx.folders.userDataFolder(), kLongbang, Qt::red);
        TEXPDPrintForm& form = fx.start();
        QVERIFY(near(shownColour(form), Qt::white));
        QCOMPARE(hiddenFields(form), 0);
    }
};

QTEST_MAIN(TestInstalledLayout)
#include "tst_installedlayout.moc"
