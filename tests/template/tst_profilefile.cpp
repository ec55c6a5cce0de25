#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/AppError.h"
#include "template/ProfileFile.h"

namespace {

QByteArray gbk(const QString& text) {
    QStringEncoder encoder("GBK");
    QByteArray bytes = encoder.encode(text);
    Q_ASSERT(!encoder.hasError());
    return bytes;
}

QByteArray gb18030(const QString& text) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QByteArray utf16(const QString& text, QStringConverter::Encoding order) {
    QStringEncoder encoder(order, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

// This test binary doubles as a second running copy of the program: started with one of
// these first arguments it writes to a settings file and exits instead of running the tests.
const QString WriterMode = QStringLiteral("--write-keys");  // <path> <prefix> <count>
const QString HolderMode = QStringLiteral("--hold-write");  // <path>

const QStringList WriterSections = {u"龙邦快递"_qs, u"顺丰快递"_qs, u"元智捷诚"_qs};

void waitForLineOnStdin() {
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly)) ::_exit(3);
    in.readLine();
}

// Waits for the go line, then writes <count> keys "<prefix><i>=<i>" spread over three
// sections, each write a separate update of the file as in a template save.
int runWriter(const QStringList& args) {
    ProfileFile ini(args.value(0));
    const QString prefix = args.value(1);
    const int count = args.value(2).toInt();
    waitForLineOnStdin();
    try {
        for (int i = 0; i < count; ++i)
            ini.writeInteger(WriterSections[i % WriterSections.size()], prefix + QString::number(i),
                             i);
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}

// Writes "held=1" into section S, stopping before the new file is put in place: says
// "holding" and waits there for a line on stdin (or to be killed).
int runHolder(const QStringList& args) {
    ProfileFile::setBeforeCommitHookForTesting([](QSaveFile&) {
        std::puts("holding");
        std::fflush(stdout);
        waitForLineOnStdin();
    });
    ProfileFile(args.value(0)).writeString("S", "held", "1");
    return 0;
}

std::unique_ptr<QProcess> startCopy(const QString& mode, const QStringList& args) {
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QCoreApplication::applicationFilePath(), QStringList{mode} + args);
    if (!process->waitForStarted()) qFatal("cannot start a second copy");
    return process;
}

// Starts a copy that holds the file's write lock, and returns once it does.
std::unique_ptr<QProcess> startHolder(const QString& path) {
    std::unique_ptr<QProcess> holder = startCopy(HolderMode, {path});
    while (!holder->canReadLine() && holder->waitForReadyRead(10000)) {
    }
    if (holder->readLine() != "holding\n") qFatal("the holding copy did not get the lock");
    return holder;
}

bool finishedWell(QProcess& process) {
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

}  // namespace

class TestProfileFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_counter = 0;

    // A fresh path in the test folder, the file not yet there.
    QString freshPath() { return m_dir.filePath(QString("p%1.ini").arg(++m_counter)); }

    QString fileWith(const QByteArray& bytes) {
        const QString path = freshPath();
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("setup");
        return path;
    }

    static QByteArray bytesOf(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return "<missing>";
        return file.readAll();
    }

    static QStringList filesIn(const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden);
    }

    static QString errorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const AppError& e) {
            return e.text();
        }
        return QString();
    }

  private slots:
    void init() { ProfileFile::setBeforeCommitHookForTesting({}); }
    void cleanup() { ProfileFile::setBeforeCommitHookForTesting({}); }

    // ---- reading ----------------------------------------------------------------------------

    void readsFileWrittenInGbk() {
        // "[龙邦快递]\r\ncbb1TOP=87\r\n" as the old Windows program wrote it, byte for byte.
        const QByteArray raw =
            "[\xC1\xFA\xB0\xEE\xBF\xEC\xB5\xDD]\r\ncbb1TOP=87\r\nFontName=\xCB\xCE\xCC\xE5\r\n";
        QCOMPARE(raw, gbk(u"[龙邦快递]\r\ncbb1TOP=87\r\nFontName=宋体\r\n"_qs));
        ProfileFile ini(fileWith(raw));
        QCOMPARE(ini.readInteger(u"龙邦快递"_qs, "cbb1TOP", 5), 87);
        QCOMPARE(ini.readString(u"龙邦快递"_qs, "FontName", "x"), u"宋体"_qs);
        QCOMPARE(ini.readInteger(u"顺丰快递"_qs, "cbb1TOP", 5), 5);
        QCOMPARE(ini.readString(u"龙邦快递"_qs, "cbb2TOP", "none"), QString("none"));
    }

    void namesMatchWithoutRegardToCase() {
        ProfileFile ini(
            fileWith(u"[DefaultExpress]\r\nCBB1TOP=12\r\n[Ärger]\r\nSchlüssel=ö\r\n"_qs.toUtf8()));
        QCOMPARE(ini.readInteger("DefaultExpress", "cbb1TOP", 0), 12);
        QCOMPARE(ini.readInteger("defaultexpress", "Cbb1Top", 0), 12);
        QCOMPARE(ini.readString(u"ärger"_qs, u"SCHLÜSSEL"_qs, ""), u"ö"_qs);
    }

    void missingFileSectionOrKeyGivesDefault() {
        ProfileFile missing(freshPath());
        QCOMPARE(missing.readString("a", "b", "dflt"), QString("dflt"));
        QCOMPARE(missing.readInteger("a", "b", -7), -7);
        QVERIFY(missing.readBool("a", "b", true));
        QVERIFY(!QFile::exists(missing.path()));  // reading never creates the file

        ProfileFile folder(m_dir.path());  // a folder is no settings file
        QCOMPARE(folder.readString("a", "b", "dflt"), QString("dflt"));
    }

    void trimsBlanksAndQuotes() {
        ProfileFile ini(
            fileWith("  [ Sec ]  \r\n"
                     "  key  =  some value  \r\n"
                     "dq=\"quoted \"\r\n"
                     "sq=  'single'  \r\n"
                     "half=\"open\r\n"
                     "mixed=\"x'\r\n"
                     "one=\"\r\n"
                     "empty=\r\n"
                     "tabs=\t7\t\r\n"));
        QCOMPARE(ini.readString("Sec", "key", "d"), QString("some value"));
        QCOMPARE(ini.readString(" sec\t", " KEY ", "d"), QString("some value"));
        QCOMPARE(ini.readString("Sec", "dq", "d"), QString("quoted "));
        QCOMPARE(ini.readString("Sec", "sq", "d"), QString("single"));
        QCOMPARE(ini.readString("Sec", "half", "d"), QString("\"open"));
        QCOMPARE(ini.readString("Sec", "mixed", "d"), QString("\"x'"));
        QCOMPARE(ini.readString("Sec", "one", "d"), QString("\""));
        QCOMPARE(ini.readString("Sec", "empty", "d"), QString(""));
        QCOMPARE(ini.readInteger("Sec", "tabs", 0), 7);
    }

    void ignoresLinesBeforeSectionsCommentsAndLinesWithoutEquals() {
        ProfileFile ini(
            fileWith("top=1\n"
                     "[S]\n"
                     ";c=2\n"
                     "  ;d=3\n"
                     "noequals\n"
                     "e=5\n"));
        QCOMPARE(ini.readString("S", "top", "dflt"), QString("dflt"));
        QCOMPARE(ini.readString("S", ";c", "dflt"), QString("dflt"));
        QCOMPARE(ini.readString("S", "c", "dflt"), QString("dflt"));
        QCOMPARE(ini.readString("S", "noequals", "dflt"), QString("dflt"));
        QCOMPARE(ini.readString("S", "e", "dflt"), QString("5"));
    }

    void firstDuplicateWins() {
        ProfileFile ini(fileWith("[S]\nk=1\nK=2\n[T]\nk=3\n[s]\nk=4\nonly=5\n"));
        QCOMPARE(ini.readInteger("S", "k", 0), 1);
        QCOMPARE(ini.readInteger("T", "k", 0), 3);
        // Like the Windows functions, only the first section of a name is searched.
        QCOMPARE(ini.readInteger("S", "only", 0), 0);
    }

    void valuesAreCutAt2047() {
        const QString longValue = QString(3000, u'龙');
        ProfileFile ini(freshPath());
        ini.writeString("S", "long", longValue);
        ini.writeString("S", "exact", QString(2047, u'a'));
        ini.writeString("S", "quoted", '"' + QString(2047, u'b') + '"');
        QCOMPARE(ini.readString("S", "long", ""), QString(2047, u'龙'));
        QCOMPARE(ini.readString("S", "exact", ""), QString(2047, u'a'));
        QCOMPARE(ini.readString("S", "quoted", ""), QString(2047, u'b'));
        // The whole value is in the file all the same.
        QVERIFY(bytesOf(ini.path()).contains(gbk(longValue)));
        // A cut never splits a surrogate pair.
        ini.writeString("S", "pairs", QString(2046, u'a') + u"😀😀"_qs);
        QCOMPARE(ini.readString("S", "pairs", ""), QString(2046, u'a'));
    }

    // ---- integers and booleans --------------------------------------------------------------

    void parsesIntegers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");  // INT_MIN + 1 stands for "no number"
        const int none = std::numeric_limits<int>::min() + 1;
        QTest::newRow("decimal") << "87" << 87;
        QTest::newRow("blanks") << "  \t87  " << 87;
        QTest::newRow("plus") << "+12" << 12;
        QTest::newRow("minus") << "-12" << -12;
        QTest::newRow("zeros") << "007" << 7;
        QTest::newRow("0x1F") << "0x1F" << 31;
        QTest::newRow("0X1f") << "0X1f" << 31;
        QTest::newRow("$1F") << "$1F" << 31;
        QTest::newRow("x1F") << "x1F" << 31;
        QTest::newRow("X1f") << "X1f" << 31;
        QTest::newRow("-$1F") << "-$1F" << -31;
        QTest::newRow("-0x10") << "-0x10" << -16;
        QTest::newRow("max") << "2147483647" << 2147483647;
        QTest::newRow("min") << "-2147483648" << std::numeric_limits<int>::min();
        QTest::newRow("hex all bits") << "$FFFFFFFF" << -1;
        QTest::newRow("hex sign bit") << "0x80000000" << std::numeric_limits<int>::min();
        QTest::newRow("abc") << "abc" << none;
        QTest::newRow("empty") << "" << none;
        QTest::newRow("blank") << "   " << none;
        QTest::newRow("12abc") << "12abc" << none;
        QTest::newRow("1 2") << "1 2" << none;
        QTest::newRow("sign only") << "-" << none;
        QTest::newRow("0x only") << "0x" << none;
        QTest::newRow("$ only") << "$" << none;
        QTest::newRow("double sign") << "--1" << none;
        QTest::newRow("sign after blank") << "- 1" << none;
        QTest::newRow("hex digit in decimal") << "1F" << none;
        QTest::newRow("too big") << "2147483648" << none;
        QTest::newRow("too small") << "-2147483649" << none;
        QTest::newRow("hex too big") << "0x100000000" << none;
        QTest::newRow("fraction") << "1.5" << none;
        QTest::newRow("full-width digits") << u"１２"_qs << none;
    }
    void parsesIntegers() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const std::optional<int> parsed = parseProfileInteger(text);
        if (expected == std::numeric_limits<int>::min() + 1) {
            QVERIFY2(!parsed, qPrintable(QString::number(parsed.value_or(0))));
        } else {
            QVERIFY(parsed);
            QCOMPARE(*parsed, expected);
        }
    }

    void readsIntegersFromTheFile() {
        ProfileFile ini(
            fileWith("[F]\ncbb1Left=0x1F\ncbb2Left=$1F\ncbb3Left=X1f\ncbb4Left=abc\n"
                     "cbb5Left=\ncbb11Left=12abc\ncbb22Left=\"42\"\n"));
        QCOMPARE(ini.readInteger("F", "cbb1Left", 5), 31);
        QCOMPARE(ini.readInteger("F", "cbb2Left", 5), 31);
        QCOMPARE(ini.readInteger("F", "cbb3Left", 5), 31);
        QCOMPARE(ini.readInteger("F", "cbb4Left", 5), 5);
        QCOMPARE(ini.readInteger("F", "cbb5Left", 5), 5);
        QCOMPARE(ini.readInteger("F", "cbb11Left", 5), 5);
        QCOMPARE(ini.readInteger("F", "cbb22Left", 5), 42);
        QCOMPARE(ini.readInteger("F", "cbb33Left", 5), 5);
    }

    void readsBooleans() {
        ProfileFile ini(fileWith("[S]\nA=2\nB=-1\nC=0\nD=yes\nE=\nF=1\nG=0x0\n"));
        QVERIFY(ini.readBool("S", "A", false));
        QVERIFY(ini.readBool("S", "B", false));
        QVERIFY(!ini.readBool("S", "C", true));
        QVERIFY(ini.readBool("S", "D", true));
        QVERIFY(!ini.readBool("S", "D", false));
        QVERIFY(ini.readBool("S", "E", true));
        QVERIFY(!ini.readBool("S", "E", false));
        QVERIFY(ini.readBool("S", "F", false));
        QVERIFY(!ini.readBool("S", "G", true));
        QVERIFY(ini.readBool("S", "missing", true));
        QVERIFY(!ini.readBool("S", "missing", false));
    }

    void writesIntegersAndBooleans() {
        ProfileFile ini(freshPath());
        ini.writeInteger("S", "neg", -42);
        ini.writeInteger("S", "min", std::numeric_limits<int>::min());
        ini.writeBool("S", "yes", true);
        ini.writeBool("S", "no", false);
        QCOMPARE(bytesOf(ini.path()),
                 QByteArray("[S]\r\nneg=-42\r\nmin=-2147483648\r\nyes=1\r\nno=0\r\n"));
        QCOMPARE(ini.readInteger("S", "min", 0), std::numeric_limits<int>::min());
        QVERIFY(ini.readBool("S", "yes", false));
        QVERIFY(!ini.readBool("S", "no", true));
    }

    // ---- writing ----------------------------------------------------------------------------

    void firstWriteCreatesFileInSpecOrder() {
        // The section of the documented example, written in the order the program writes it.
        ProfileFile ini(freshPath());
        QVERIFY(!QFile::exists(ini.path()));
        const QString s = u"龙邦快递"_qs;
        ini.writeString(s, "Textfontname", u"宋体"_qs);
        ini.writeString(s, "Textfontsize", "10");
        ini.writeString(s, "CurrentLong", "128");
        ini.writeString(s, "CurrentWide", "230");
        ini.writeString(s, "FontName", u"宋体"_qs);
        ini.writeString(s, "FontSize", "10");
        ini.writeInteger(s, "cbb1TOP", 87);
        ini.writeInteger(s, "cbb1Left", 168);
        ini.writeInteger(s, "cbb1Width", 81);
        ini.writeInteger(s, "cbb55Width", 217);
        ini.writeBool(s, "FHCompany", true);
        ini.writeBool(s, "SHOrigin", true);
        ini.writeString("DefaultExpress", "DefaultExpressD", s);
        const QString expected =
            u"[龙邦快递]\r\n"
            "Textfontname=宋体\r\n"
            "Textfontsize=10\r\n"
            "CurrentLong=128\r\n"
            "CurrentWide=230\r\n"
            "FontName=宋体\r\n"
            "FontSize=10\r\n"
            "cbb1TOP=87\r\n"
            "cbb1Left=168\r\n"
            "cbb1Width=81\r\n"
            "cbb55Width=217\r\n"
            "FHCompany=1\r\n"
            "SHOrigin=1\r\n"
            "[DefaultExpress]\r\n"
            "DefaultExpressD=龙邦快递\r\n"_qs;
        // A new file is GBK (GB18030), as the Windows program wrote it.
        QCOMPARE(bytesOf(ini.path()), gbk(expected));
        QCOMPARE(ini.readString("DefaultExpress", "DefaultExpressD", ""), s);
        QCOMPARE(ini.readInteger(s, "CBB55WIDTH", 0), 217);
    }

    void updatesInPlaceKeepingEveryOtherByte() {
        const QByteArray before =
            gbk(u"; written by hand\r\n"
                "[DefaultExpress]\r\n"
                "DefaultExpressD=龙邦快递\r\n"
                "\r\n"
                "[龙邦快递]\r\n"
                "  CBB1TOP = 87   \r\n"
                "cbb1Left=168\r\n"
                "cbb1top=99\r\n"
                "\r\n"
                "[顺丰快递]\r\n"
                "cbb1TOP=11\r\n"_qs);
        ProfileFile ini(fileWith(before));
        ini.writeInteger(u"龙邦快递"_qs, "cbb1Top", 90);
        const QByteArray after = bytesOf(ini.path());
        QByteArray expected = before;
        expected.replace("  CBB1TOP = 87   \r\n", "  CBB1TOP = 90\r\n");
        QCOMPARE(after, expected);
        QCOMPARE(ini.readInteger(u"龙邦快递"_qs, "cbb1TOP", 0), 90);
        QCOMPARE(ini.readInteger(u"顺丰快递"_qs, "cbb1TOP", 0), 11);

        // A longer and a shorter Chinese value in place.
        ini.writeString("DefaultExpress", "DefaultExpressD", u"顺丰快递"_qs);
        expected.replace(gbk(u"DefaultExpressD=龙邦快递"_qs), gbk(u"DefaultExpressD=顺丰快递"_qs));
        QCOMPARE(bytesOf(ini.path()), expected);
        ini.writeString("DefaultExpress", "DefaultExpressD", "");
        expected.replace(gbk(u"DefaultExpressD=顺丰快递"_qs), "DefaultExpressD=");
        QCOMPARE(bytesOf(ini.path()), expected);
    }

    void keepsLfEndingsAndUnendedLastLine() {
        ProfileFile ini(fileWith("[A]\nk=1\n[B]\nk=2"));
        ini.writeInteger("B", "k", 3);
        QCOMPARE(bytesOf(ini.path()), QByteArray("[A]\nk=1\n[B]\nk=3"));
        ini.writeInteger("B", "n", 4);
        QCOMPARE(bytesOf(ini.path()), QByteArray("[A]\nk=1\n[B]\nk=3\nn=4\n"));
        ProfileFile unended(fileWith("[A]\nk=1"));
        unended.writeInteger("C", "k", 5);
        QCOMPARE(bytesOf(unended.path()), QByteArray("[A]\nk=1\n[C]\nk=5\n"));
        ProfileFile headerOnly(fileWith("[A]"));
        headerOnly.writeInteger("a", "k", 6);
        QCOMPARE(bytesOf(headerOnly.path()), QByteArray("[A]\r\nk=6\r\n"));
    }

    void erasesOneSectionKeepingEveryOtherByte() {
        ProfileFile ini(
            fileWith("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n; note\r\nc=3\r\n\r\n; about C\r\n"
                     "[C]\r\nc=1\r\n[b]\r\nb=9\r\n"));
        ini.eraseSection(" b ");
        // The first section of that name only, up to its last key; what leads into [C] stays.
        QCOMPARE(bytesOf(ini.path()),
                 QByteArray("[A]\r\na=1\r\n\r\n\r\n; about C\r\n[C]\r\nc=1\r\n[b]\r\nb=9\r\n"));
        QCOMPARE(ini.readString("B", "b", "-"), QString("9"));

        // The last section of an unended file, a UTF-8 file's first section with its mark.
        ProfileFile last(fileWith("[A]\nk=1\n[中通]\nk=2"));
        last.eraseSection("中通");
        QCOMPARE(bytesOf(last.path()), QByteArray("[A]\nk=1\n"));
        ProfileFile marked(fileWith("\xEF\xBB\xBF[中通]\nk=2\n[A]\nk=1\n"));
        marked.eraseSection("中通");
        QCOMPARE(bytesOf(marked.path()), QByteArray("\xEF\xBB\xBF[A]\nk=1\n"));

        // No such section, no file, an empty name: nothing is written.
        const QString untouched = fileWith("[A]\nk=1\n");
        const QDateTime stamp = QFileInfo(untouched).lastModified();
        ProfileFile(untouched).eraseSection("Z");
        ProfileFile(untouched).eraseSection("  ");
        QCOMPARE(bytesOf(untouched), QByteArray("[A]\nk=1\n"));
        QCOMPARE(QFileInfo(untouched).lastModified(), stamp);
        const QString none = freshPath();
        ProfileFile(none).eraseSection("A");
        QVERIFY(!QFileInfo::exists(none));
    }

    void appendsKeyToSectionInTheMiddle() {
        const QByteArray before =
            "[A]\r\n"
            "a1=1\r\n"
            "\r\n"
            "[B]\r\n"
            "b1=1\r\n"
            "; comment\r\n"
            "b2=2\r\n"
            "\r\n"
            "\r\n"
            "; about C\r\n"
            "[C]\r\n"
            "c1=1\r\n";
        ProfileFile ini(fileWith(before));
        ini.writeString("b", "New", "x");
        QByteArray expected = before;
        expected.replace("b2=2\r\n", "b2=2\r\nNew=x\r\n");
        QCOMPARE(bytesOf(ini.path()), expected);
        ini.writeString("A", "a2", "2");
        expected.replace("a1=1\r\n", "a1=1\r\na2=2\r\n");
        QCOMPARE(bytesOf(ini.path()), expected);
        QCOMPARE(ini.readString("B", "new", ""), QString("x"));

        // A section with no keys gets its first right below its header.
        ProfileFile empty(fileWith("[E]\r\n\r\n[F]\r\nf=1\r\n"));
        empty.writeString("E", "e", "1");
        QCOMPARE(bytesOf(empty.path()), QByteArray("[E]\r\ne=1\r\n\r\n[F]\r\nf=1\r\n"));
    }

    void appendsNewSectionAtTheEnd() {
        const QByteArray before = "[A]\r\na=1\r\n\r\n";
        ProfileFile ini(fileWith(before));
        ini.writeInteger("B", "b", 2);
        QCOMPARE(bytesOf(ini.path()), before + "[B]\r\nb=2\r\n");
        // Lines before the first section are no section: the key gets its own.
        ProfileFile loose(fileWith("k=1\r\n"));
        loose.writeInteger("S", "k", 2);
        QCOMPARE(bytesOf(loose.path()), QByteArray("k=1\r\n[S]\r\nk=2\r\n"));
    }

    void writesOnlyToTheFirstDuplicate() {
        ProfileFile ini(fileWith("[S]\nk=1\n[S]\nk=2\nj=3\n"));
        ini.writeInteger("S", "k", 5);
        ini.writeInteger("S", "j", 6);
        QCOMPARE(bytesOf(ini.path()), QByteArray("[S]\nk=5\nj=6\n[S]\nk=2\nj=3\n"));
        QCOMPARE(ini.readInteger("S", "j", 0), 6);
    }

    void unchangedValueLeavesFileAlone() {
        ProfileFile ini(fileWith("[S]\nk=1\n"));
        int commits = 0;
        ProfileFile::setBeforeCommitHookForTesting([&](QSaveFile&) { ++commits; });
        ini.writeInteger("S", "k", 1);
        QCOMPARE(commits, 0);
        ini.writeInteger("S", "k", 2);
        QCOMPARE(commits, 1);
    }

    void valueIsCutAtLineBreak() {
        ProfileFile ini(freshPath());
        ini.writeString("S", "k", "first\r\n[Evil]\r\nk=2");
        ini.writeString("S", "j", "a\nb");
        QCOMPARE(bytesOf(ini.path()), QByteArray("[S]\r\nk=first\r\nj=a\r\n"));
    }

    void emptySectionIsIgnored() {
        ProfileFile ini(freshPath());
        ini.writeString("", "k", "v");
        ini.writeString("  ", "k", "v");
        ini.writeInteger("", "cbb1TOP", 3);
        ini.writeBool("", "FHName", true);
        ini.writeString("S", "", "v");
        QVERIFY(!QFile::exists(ini.path()));
        QCOMPARE(ini.readString("", "k", "d"), QString("d"));

        ProfileFile existing(fileWith("[]\nk=1\n[S]\nk=2\n"));  // even if someone put one there
        existing.writeString("", "k", "9");
        QCOMPARE(bytesOf(existing.path()), QByteArray("[]\nk=1\n[S]\nk=2\n"));
        QCOMPARE(existing.readString("", "k", "d"), QString("d"));
    }

    // ---- encoding ---------------------------------------------------------------------------

    void gbkFileStaysGbk() {
        const QByteArray before = gbk(u"[龙邦快递]\r\ncbb1TOP=87\r\nFontName=宋体\r\n"_qs);
        ProfileFile ini(fileWith(before));
        ini.writeString(u"龙邦快递"_qs, "FontName", u"黑体"_qs);
        ini.writeString(u"龙邦快递"_qs, "PrinterName", u"办公室打印机"_qs);
        ini.writeString(u"元智捷诚"_qs, "FontName", u"楷体"_qs);
        QCOMPARE(bytesOf(ini.path()),
                 gbk(u"[龙邦快递]\r\ncbb1TOP=87\r\nFontName=黑体\r\nPrinterName=办公室打印机\r\n"
                     "[元智捷诚]\r\nFontName=楷体\r\n"_qs));
        // Characters outside GBK survive as GB18030 and the rest of the file stays GBK.
        const QString beyond = u"𠀀😀€"_qs;
        ini.writeString(u"龙邦快递"_qs, "Other", beyond);
        QCOMPARE(ini.readString(u"龙邦快递"_qs, "Other", ""), beyond);
        QVERIFY(bytesOf(ini.path()).startsWith(before.left(before.indexOf("FontName"))));
        QVERIFY(bytesOf(ini.path()).contains(gb18030(beyond)));
    }

    void utf8FileStaysUtf8() {
        const QByteArray before = u"[龙邦快递]\ncbb1TOP=87\n"_qs.toUtf8();
        ProfileFile ini(fileWith(before));
        ini.writeString(u"龙邦快递"_qs, "FontName", u"宋体"_qs);
        QCOMPARE(bytesOf(ini.path()), u"[龙邦快递]\ncbb1TOP=87\nFontName=宋体\n"_qs.toUtf8());

        const QByteArray bom = "\xEF\xBB\xBF";
        ProfileFile withBom(fileWith(bom + "[S]\r\nk=1\r\n"));
        QCOMPARE(withBom.readInteger("S", "k", 0), 1);
        withBom.writeString("S", "k", u"宋体"_qs);
        withBom.writeString(u"顺丰快递"_qs, "k", u"元"_qs);
        QCOMPARE(bytesOf(withBom.path()),
                 bom + u"[S]\r\nk=宋体\r\n[顺丰快递]\r\nk=元\r\n"_qs.toUtf8());
        // A key on the first line, after the mark.
        ProfileFile markThenKey(fileWith(bom + "[S]\r\n"));
        markThenKey.writeString("S", "a", "1");
        QCOMPARE(bytesOf(markThenKey.path()), bom + "[S]\r\na=1\r\n");
    }

    void roundTripsAnyText_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << "Canon LBP2900";
        QTest::newRow("gbk") << u"龙邦快递 宋体"_qs;
        QTest::newRow("looks like utf-8 in gbk") << u"顺"_qs;  // CB B3
        QTest::newRow("also") << u"元"_qs;                     // D4 AA
        QTest::newRow("beyond gbk") << u"𠀀😀€ü"_qs;
        QTest::newRow("latin") << u"Ärger über ß"_qs;
        QTest::newRow("mixed scripts") << u"Привет עברית ✓ 한국어"_qs;
    }
    void roundTripsAnyText() {
        QFETCH(QString, text);
        ProfileFile ini(freshPath());
        ini.writeString(text, text, text);
        QCOMPARE(ini.readString(text, text, "d"), text);
        ini.writeString(text, "second", text);
        QCOMPARE(ini.readString(text, "second", "d"), text);
        ini.writeString("Other", "k", text);
        QCOMPARE(ini.readString("Other", "k", "d"), text);
        QCOMPARE(ini.readString(text, text, "d"), text);
    }

    void ambiguousGbkBytesBecomeUtf8() {
        // "顺" alone is CB B3 in GBK, which is also valid UTF-8 (U+02F3): such a file is
        // written as UTF-8 so that it reads back as written.
        ProfileFile ini(freshPath());
        ini.writeString("S", "k", u"顺"_qs);
        QCOMPARE(bytesOf(ini.path()), u"[S]\r\nk=顺\r\n"_qs.toUtf8());
        QCOMPARE(ini.readString("S", "k", ""), u"顺"_qs);
        // With ordinary content the same text stays GBK.
        ProfileFile usual(freshPath());
        usual.writeString("S", "f", u"宋体"_qs);
        usual.writeString("S", "k", u"顺"_qs);
        QCOMPARE(bytesOf(usual.path()), gbk(u"[S]\r\nf=宋体\r\nk=顺\r\n"_qs));
    }

    void utf16FileIsReadAndKeepsItsForm_data() {
        QTest::addColumn<QStringConverter::Encoding>("order");
        QTest::addColumn<QString>("eol");
        QTest::newRow("little-endian, CRLF") << QStringConverter::Utf16LE << "\r\n";
        QTest::newRow("big-endian, LF") << QStringConverter::Utf16BE << "\n";
    }
    void utf16FileIsReadAndKeepsItsForm() {
        QFETCH(QStringConverter::Encoding, order);
        QFETCH(QString, eol);
        // As a Windows editor saves "Unicode" text. "上" is U+4E0A, a 0x0A byte in both orders;
        // the surrogate pair and the mark inside a value must come back as they were.
        const QStringList before = {u"[DefaultExpress]"_qs, u"DefaultExpressD=龙邦快递"_qs,
                                    u"[龙邦快递]"_qs,       u"cbb1TOP=87"_qs,
                                    u"上=😀\uFEFF"_qs,       u"FontName=宋体"_qs};
        const QString text = before.join(eol) + eol;
        ProfileFile ini(fileWith(utf16(text, order)));
        QCOMPARE(ini.readString("DefaultExpress", "DefaultExpressD", ""), u"龙邦快递"_qs);
        QCOMPARE(ini.readInteger(u"龙邦快递"_qs, "CBB1TOP", 0), 87);
        QCOMPARE(ini.readString(u"龙邦快递"_qs, u"上"_qs, ""), u"😀\uFEFF"_qs);
        QCOMPARE(ini.readString(u"龙邦快递"_qs, "FontName", ""), u"宋体"_qs);

        ini.writeString(u"龙邦快递"_qs, "FontName", u"黑体"_qs);
        ini.writeInteger(u"龙邦快递"_qs, "cbb1Left", 168);
        ini.writeString(u"顺丰快递"_qs, "FontSize", u"10"_qs);
        QStringList after = before;
        after[5] = u"FontName=黑体"_qs;
        after << u"cbb1Left=168"_qs << u"[顺丰快递]"_qs << u"FontSize=10"_qs;
        QCOMPARE(bytesOf(ini.path()), utf16(after.join(eol) + eol, order));
        QCOMPARE(ini.readString(u"龙邦快递"_qs, "FontName", ""), u"黑体"_qs);
    }

    // ---- running copies ---------------------------------------------------------------------

    void concurrentCopiesLoseNoKey() {
        // Three copies save at the same moment, each key a separate update of one file.
        QTemporaryDir dir;
        const QString path = dir.filePath("Quorvel.ini");
        ProfileFile ini(path);
        ini.writeString("DefaultExpress", "DefaultExpressD", u"龙邦快递"_qs);
        const int copies = 3;
        const int keysEach = 60;
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int c = 0; c < copies; ++c)
            writers.push_back(startCopy(
                WriterMode, {path, QString("copy%1_").arg(c), QString::number(keysEach)}));
        for (auto& writer : writers) {  // all start writing together
            writer->write("go\n");
            QVERIFY(writer->waitForBytesWritten());
        }
        for (auto& writer : writers) QVERIFY(finishedWell(*writer));

        QStringList missing;
        for (int c = 0; c < copies; ++c) {
            for (int i = 0; i < keysEach; ++i) {
                const QString key = QString("copy%1_%2").arg(c).arg(i);
                if (ini.readInteger(WriterSections[i % WriterSections.size()], key, -1) != i)
                    missing << key;
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(' ')));
        QCOMPARE(ini.readString("DefaultExpress", "DefaultExpressD", ""), u"龙邦快递"_qs);
        QCOMPARE(bytesOf(path).count('\n'), copies * keysEach + 2 + WriterSections.size());
        // Every lock was released: nothing but the settings file is left in the folder.
        QCOMPARE(filesIn(dir.path()), QStringList{"Quorvel.ini"});
    }

    void writeWaitsForAnotherCopyThenFailsUnchanged() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Quorvel.ini");
        ProfileFile ini(path);
        ini.writeInteger("S", "k", 1);
        const QByteArray before = bytesOf(path);
        std::unique_ptr<QProcess> holder = startHolder(path);

        QElapsedTimer waited;
        waited.start();
        QCOMPARE(errorOf([&] { ini.writeInteger("S", "mine", 2); }),
                 QString("Unable to write to %1").arg(path));
        QVERIFY2(waited.elapsed() >= ProfileFile::LockWaitMs - 50,
                 qPrintable(QString::number(waited.elapsed())));
        QCOMPARE(bytesOf(path), before);

        // Once the other copy's write is done, ours goes through and both keys are there.
        holder->write("go\n");
        QVERIFY(finishedWell(*holder));
        ini.writeInteger("S", "mine", 2);
        QCOMPARE(bytesOf(path), QByteArray("[S]\r\nk=1\r\nheld=1\r\nmine=2\r\n"));
    }

    void lockOfAKilledCopyIsTakenOverAtOnce() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Quorvel.ini");
        ProfileFile ini(path);
        ini.writeInteger("S", "k", 1);
        std::unique_ptr<QProcess> holder = startHolder(path);
        holder->kill();  // SIGKILL in the middle of its write: its lock file stays behind
        QVERIFY(holder->waitForFinished());
        QVERIFY(QFileInfo::exists(path + ".lock"));

        QElapsedTimer waited;
        waited.start();
        ini.writeInteger("S", "mine", 2);
        QVERIFY2(waited.elapsed() < ProfileFile::LockWaitMs / 2,
                 qPrintable(QString::number(waited.elapsed())));
        QCOMPARE(bytesOf(path), QByteArray("[S]\r\nk=1\r\nmine=2\r\n"));
        QVERIFY(!QFileInfo::exists(path + ".lock"));
    }

    void staleTemporaryFilesAreRemovedOnlyWhenOldAndOurs() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Quorvel.ini");
        ProfileFile ini(path);
        ini.writeInteger("S", "k", 1);
        const QDateTime old = QDateTime::currentDateTime().addSecs(-2 * 60);
        const auto place = [&](const QString& name, const QDateTime& modified) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[S]\r\nk=");
            QVERIFY(file.flush());  // a later flush would make it young again
            QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        };
        const QStringList stale = {"Quorvel.ini.AbCdEf", "Quorvel.ini.qwerty",
                                   "Quorvel.ini.ZZZZZZ"};
        const QStringList kept = {
            "Quorvel.ini.GhIjKl",   // young: maybe another copy's write in progress
            "Quorvel.ini.AbCdE",    // five characters
            "Quorvel.ini.AbCdEfG",  // seven
            "Quorvel.ini.Ab1dEf",   // a digit: not a name the atomic replace makes
            "Quorvel.ini.Ab-dEf",  "Quorvel.ini.lock", "Quorvel.iniXAbCdEf",
            "quorvel.ini.AbCdEf",  "Other.ini.AbCdEf", "Quorvel.ini.bak",
        };
        for (const QString& name : stale) place(name, old);
        place(kept[0], QDateTime::currentDateTime().addSecs(-30));
        for (const QString& name : kept.mid(1)) place(name, old);
        // A link named like ours to an old file is not ours either.
        QVERIFY(QFile::link(dir.filePath("Quorvel.ini.bak"), dir.filePath("Quorvel.ini.LiNkEd")));
        {
            QFile settings(path);
            QVERIFY(settings.open(QIODevice::ReadWrite));
            QVERIFY(settings.setFileTime(old, QFileDevice::FileModificationTime));
        }

        ini.removeStaleTemporaryFiles();
        QStringList expected = kept;
        expected << "Quorvel.ini"
                 << "Quorvel.ini.LiNkEd";
        expected.sort();
        QStringList present =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        present.sort();
        QCOMPARE(present, expected);
        QCOMPARE(ini.readInteger("S", "k", 0), 1);
    }

    // ---- failures ---------------------------------------------------------------------------

    void writeErrorNamesThePath() {
        // The folder is a regular file: fails even for root.
        const QString blocker = fileWith("not a folder");
        const QString inside = blocker + "/Quorvel.ini";
        ProfileFile ini(inside);
        QCOMPARE(errorOf([&] { ini.writeString("S", "k", "v"); }),
                 QString("Unable to write to %1").arg(inside));

        const QString noFolder = m_dir.filePath("missing/Quorvel.ini");
        ProfileFile missing(noFolder);
        QCOMPARE(errorOf([&] { missing.writeInteger("S", "k", 1); }),
                 QString("Unable to write to %1").arg(noFolder));

        ProfileFile folder(m_dir.path());
        QCOMPARE(errorOf([&] { folder.writeBool("S", "k", true); }),
                 QString("Unable to write to %1").arg(m_dir.path()));
    }

    void readOnlyFolderFailsAndKeepsFile() {
        if (::geteuid() == 0) QSKIP("root may write into any folder");
        QTemporaryDir dir;
        const QString path = dir.filePath("Quorvel.ini");
        ProfileFile ini(path);
        ini.writeInteger("S", "k", 1);
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QString error = errorOf([&] { ini.writeInteger("S", "k", 2); });
        QFile::setPermissions(
            dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(error, QString("Unable to write to %1").arg(path));
        QCOMPARE(bytesOf(path), QByteArray("[S]\r\nk=1\r\n"));
    }

    void unreadableFileIsNotOverwritten() {
        if (::geteuid() == 0) QSKIP("root may read any file");
        const QString path = fileWith("[S]\nk=1\n");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        ProfileFile ini(path);
        QCOMPARE(ini.readInteger("S", "k", 7), 7);
        const QString error = errorOf([&] { ini.writeInteger("S", "j", 2); });
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(error, QString("Unable to write to %1").arg(path));
        QCOMPARE(bytesOf(path), QByteArray("[S]\nk=1\n"));
    }

    void failedCommitLeavesOldFileWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Quorvel.ini");
        ProfileFile ini(path);
        ini.writeInteger("S", "k", 1);
        const QByteArray before = bytesOf(path);

        // The temporary file is complete and still the old file is untouched until the rename.
        ProfileFile::setBeforeCommitHookForTesting([&](QSaveFile& file) {
            QCOMPARE(bytesOf(path), before);
            QVERIFY(file.fileName() == path);
            file.cancelWriting();  // the commit now fails
        });
        QCOMPARE(errorOf([&] { ini.writeInteger("S", "k", 2); }),
                 QString("Unable to write to %1").arg(path));
        QCOMPARE(bytesOf(path), before);
        QCOMPARE(filesIn(dir.path()), QStringList{"Quorvel.ini"});

        // An exception half-way leaves it whole too, and no temporary file behind.
        ProfileFile::setBeforeCommitHookForTesting(
            [](QSaveFile&) { throw std::runtime_error("x"); });
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, ini.writeInteger("S", "k", 3));
        QCOMPARE(bytesOf(path), before);
        QCOMPARE(filesIn(dir.path()), QStringList{"Quorvel.ini"});
    }

    void dyingHalfWayLeavesOldFileWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Quorvel.ini");
        ProfileFile ini(path);
        for (int i = 0; i < 50; ++i) ini.writeInteger("S", QString("k%1").arg(i), i);
        const QByteArray before = bytesOf(path);

        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // The child dies abruptly with the new content written but not yet in place.
            ProfileFile::setBeforeCommitHookForTesting([](QSaveFile&) { ::_exit(42); });
            ProfileFile(path).writeInteger("S", "k0", 1000);
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 42);
        QCOMPARE(bytesOf(path), before);
        QCOMPARE(ini.readInteger("S", "k0", -1), 0);
        // The next write still works beside the dead write's leftover temporary file.
        ini.writeInteger("S", "k0", 7);
        QCOMPARE(ini.readInteger("S", "k0", -1), 7);
    }

    void replaceKeepsPermissionsAndFollowsLinks() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Quorvel.ini");
        ProfileFile ini(path);
        ini.writeInteger("S", "k", 1);
        const auto perms =
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(path, perms));
        ini.writeInteger("S", "k", 2);
        const auto modeBits = [](QFileDevice::Permissions p) { return p.toInt() & 0x7077; };
        QCOMPARE(modeBits(QFileInfo(path).permissions()), modeBits(perms));

        const QString link = dir.filePath("link.ini");
        QVERIFY(QFile::link(path, link));
        ProfileFile viaLink(link);
        viaLink.writeInteger("S", "k", 3);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(ini.readInteger("S", "k", 0), 3);
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.value(1) == WriterMode) return runWriter(args.mid(2));
    if (args.value(1) == HolderMode) return runHolder(args.mid(2));
    TestProfileFile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_profilefile.moc"
