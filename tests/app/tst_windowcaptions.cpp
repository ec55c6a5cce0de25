// The captions as the window system shows them. Qt's offscreen platform shows no captions, so
// this test starts a private X server (Xvfb) and runs on Qt's xcb platform; it reads each
// window's _NET_WM_NAME with xprop, the way a window manager reads it.
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <csignal>

#include "app/ApplicationSetup.h"
#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"
#include "platform/MessageBoxes.h"
#include "support/MainWindowFixture.h"

namespace {

// Xvfb on a display number it picks itself, ended with the test.
class PrivateXServer {
  public:
    bool start() {
        int fds[2];
        if (pipe(fds) != 0) return false;
        m_pid = fork();
        if (m_pid < 0) return false;
        if (m_pid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                   "1280x1024x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        char buffer[16] = {};
        ssize_t got = 0;
        while (got < ssize_t(sizeof buffer - 1)) {
            const ssize_t n = read(fds[0], buffer + got, 1);
            if (n <= 0 || buffer[got] == '\n') break;
            ++got;
        }
        close(fds[0]);
        if (got == 0) return false;
        m_display = ":" + QByteArray(buffer, got);
        return true;
    }
    ~PrivateXServer() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    QByteArray display() const { return m_display; }

  private:
    pid_t m_pid = -1;
    QByteArray m_display;
};

// The caption the window system holds for a window.
QString shownCaption(QWidget* window) {
    QProcess xprop;
    xprop.start("xprop", {"-id", QString::number(window->winId()), "_NET_WM_NAME"});
    if (!xprop.waitForFinished(5000)) return QStringLiteral("<xprop did not answer>");
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^_NET_WM_NAME\\(UTF8_STRING\\) = \"(.*)\"$")).match(out);
    return m.hasMatch() ? m.captured(1) : out;
}

// Runs `inside` on the modal window that `open` brings up, then closes that window.
template <typename Open, typename Inside>
void onModalWindow(Open open, Inside inside) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        QTRY_VERIFY(modal->isVisible());
        inside(modal);
        seen = true;
        modal->close();
    });
    open();
    QVERIFY(seen);
}

}  // namespace

class TestWindowCaptions : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        setUpApplication();
    }

    void theMainWindowShowsTheTitleAndVersionOnly() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QTRY_COMPARE(shownCaption(&form), AppEnvironment::applicationTitle() + " V1.2");
    }

    void dialogsShowTheirOwnCaptionsOnly_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::newRow("address book") << "Button2"
                                      << "发货人、客户添加与编辑";
        QTest::newRow("settings") << "Button3"
                                  << "设置标签、默认快递单";
        QTest::newRow("help") << "btnHelp" << AppEnvironment::applicationTitle() + "帮助";
    }
    void dialogsShowTheirOwnCaptionsOnly() {
        QFETCH(QString, button);
        QFETCH(QString, caption);
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        auto* opener = form.findChild<QPushButton*>(button);
        QVERIFY(opener);
        onModalWindow([&] { opener->click(); },
                      [&](QWidget* dialog) { QTRY_COMPARE(shownCaption(dialog), caption); });
    }

    void messageBoxesShowTheTitle() {
        TestFolders folders;
        QtMessageBoxes boxes;
        onModalWindow(
            [&] {
                boxes.show(nullptr, MessageBoxes::Icon::Information, "x",
                           MessageBoxes::Buttons::Ok);
            },
            [&](QWidget* box) {
                QTRY_COMPARE(shownCaption(box), AppEnvironment::applicationTitle());
            });
    }
};

int main(int argc, char* argv[]) {
    PrivateXServer server;
    if (!server.start()) {
        fprintf(stderr, "cannot start Xvfb (package xvfb)\n");
        return 1;
    }
    qputenv("DISPLAY", server.display());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestWindowCaptions test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowcaptions.moc"
