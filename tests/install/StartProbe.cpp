// A probe that the installed-program test preloads into the real, installed executable
// (LD_PRELOAD). It links only Qt, never the program's own code, and looks at the running
// program from outside through object names, as a person looks at the screen:
//
//   QUORVEL_PROBE_REPORT    file to write what it saw into, one "key=value" per line
//   QUORVEL_PROBE_PICTURES  folder of the installed pictures, to tell the courier's form from
//                           the fall-back picture
//   QUORVEL_PROBE_FONT_SIZE when set, picks that font size the way a person does
//   QUORVEL_PROBE_SAVE      when "1", then presses "保存更改"
//
// Message boxes are answered and their texts reported. The program is ended once the probe is
// done; without a main window within 30 seconds the probe reports "timeout" and ends it.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTextStream>
#include <QTimer>

namespace {

const char* const kFieldNames[] = {"cbb1",  "cbb2",  "cbb3",  "cbb4",  "cbb5",
                                   "cbb11", "cbb22", "cbb33", "cbb44", "cbb55"};

class Report {
  public:
    void add(const QString& key, const QString& value) {
        m_lines << key + QLatin1Char('=') + value;
    }
    void write() const {
        QFile file(qEnvironmentVariable("QUORVEL_PROBE_REPORT"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
        QTextStream out(&file);
        for (const QString& line : m_lines) out << line << '\n';
    }

  private:
    QStringList m_lines;
};

Report& report() {
    static Report r;
    return r;
}

// Answers an open message box, remembering what it said.
void answerMessageBoxes() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        report().add(QStringLiteral("message"), box->text());
        box->accept();
    }
}

QWidget* mainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("TEXPDPrintForm") && w->isVisible()) return w;
    return nullptr;
}

// Samples a grid of points: the shown picture is the file's picture stretched or not, so the
// comparison is made in relative coordinates with a tolerance for JPEG and scaling.
bool samePicture(const QImage& shown, const QImage& file) {
    if (shown.isNull() || file.isNull()) return false;
    for (int i = 1; i < 10; ++i) {
        for (int j = 1; j < 10; ++j) {
            const QColor a = shown.pixelColor(shown.width() * i / 10, shown.height() * j / 10);
            const QColor b = file.pixelColor(file.width() * i / 10, file.height() * j / 10);
            if (qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) >
                60)
                return false;
        }
    }
    return true;
}

QString whichPicture(QWidget* window, const QString& courier) {
    auto* image = window->findChild<QLabel*>(QStringLiteral("Image1"));
    if (!image) return QStringLiteral("no Image1");
    const QImage shown = image->pixmap().toImage();
    const QDir pictures(qEnvironmentVariable("QUORVEL_PROBE_PICTURES"));
    if (samePicture(shown, QImage(pictures.filePath(courier + QStringLiteral(".jpg")))))
        return QStringLiteral("courier");
    if (samePicture(shown, QImage(pictures.filePath(QStringLiteral("vornix.jpg")))))
        return QStringLiteral("fallback");
    return QStringLiteral("other");
}

int hiddenFields(QWidget* window) {
    int hidden = 0;
    for (const char* name : kFieldNames) {
        auto* field = window->findChild<QWidget*>(QString::fromLatin1(name));
        hidden += (!field || field->isHidden()) ? 1 : 0;
    }
    return hidden;
}

// Opens the list and picks the item with the keyboard, so the list's `activated` runs.
bool chooseItem(QComboBox* list, const QString& text) {
    const int index = list->findText(text);
    if (index < 0) return false;
    list->showPopup();
    QAbstractItemView* view = list->view();
    if (!QTest::qWaitFor([&] { return view->isVisible(); })) return false;
    view->setCurrentIndex(view->model()->index(index, list->modelColumn(), list->rootModelIndex()));
    QTest::keyClick(view, Qt::Key_Return);
    return QTest::qWaitFor([&] { return !view->isVisible(); });
}

void probe(QWidget* window) {
    auto* couriers = window->findChild<QComboBox*>(QStringLiteral("cbbNames"));
    auto* fontSizes = window->findChild<QComboBox*>(QStringLiteral("cbbfontSize"));
    const QString courier = couriers ? couriers->currentText() : QString();
    report().add(QStringLiteral("courier"), courier);
    report().add(QStringLiteral("picture"), whichPicture(window, courier));
    report().add(QStringLiteral("hidden_fields"), QString::number(hiddenFields(window)));
    report().add(QStringLiteral("font_size"), fontSizes ? fontSizes->currentText() : QString());

    const QString newSize = qEnvironmentVariable("QUORVEL_PROBE_FONT_SIZE");
    if (!newSize.isEmpty() && fontSizes)
        report().add(QStringLiteral("font_size_chosen"),
                     chooseItem(fontSizes, newSize) ? newSize : QStringLiteral("failed"));
    if (qEnvironmentVariable("QUORVEL_PROBE_SAVE") == QLatin1String("1")) {
        if (auto* save = window->findChild<QPushButton*>(QStringLiteral("btnApply"))) {
            QTest::mouseClick(save, Qt::LeftButton);
            report().add(QStringLiteral("saved"), QStringLiteral("1"));
        }
    }
}

// Ends the program once the probe is done. The first showing runs before the program's main
// event loop, and a message box there runs a loop of its own, so one exit() may end only that
// inner loop: it is repeated until the program is gone.
void endProgram(int status) {
    auto* quit = new QTimer(qApp);
    QObject::connect(quit, &QTimer::timeout, [status] { QCoreApplication::exit(status); });
    quit->start(100);
    QCoreApplication::exit(status);
}

void startProbe() {
    // Message boxes are answered whenever they come, also while the probe itself acts.
    auto* answer = new QTimer(qApp);
    QObject::connect(answer, &QTimer::timeout, [] { answerMessageBoxes(); });
    answer->start(100);

    auto* elapsed = new QElapsedTimer;
    elapsed->start();
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, elapsed] {
        QWidget* window = mainWindow();
        const bool timedOut = elapsed->elapsed() > 30000;
        if (!window && !timedOut) return;
        poll->stop();
        if (window) {
            // Let the first showing finish before looking.
            QTest::qWait(200);
            probe(window);
        } else {
            report().add(QStringLiteral("timeout"), QStringLiteral("1"));
        }
        report().write();
        delete elapsed;
        endProgram(window ? 0 : 3);
    });
    poll->start(100);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(startProbe)
