// bench_addressbook [senders] [customers] [imported]: times the address book at a size far beyond
// the old program's (default 20 000 senders and 100 000 customers).
//
// The program's part runs in a child process (this bench started again with "--program"), so
// that its time and memory are the program's, not the data generator's: start-up to the shown
// main window (with an empty book too, for the difference), the pickers' entries arriving,
// keystrokes in the pickers to the updated list, choosing a name to filled fields, and the
// resident memory. This process then times the editor dialog (opening, switching, closing)
// and importing a CSV file of `imported` customers (default 100 000). Run offscreen:
// QT_QPA_PLATFORM=offscreen ./bench_addressbook
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabBar>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "../tests/addressbook/AddressBookTestData.h"
#include "../tools/CourierPictures.h"
#include "addressbook/AddressBook.h"
#include "addressbook/AddressGrid.h"
#include "addressbook/AddressPickerModel.h"
#include "addressbook/AddressPickers.h"
#include "addressbook/AddressTransfer.h"
#include "addressbook/CsvRecords.h"
#include "addressbook/TCusAddForm.h"
#include "app/ApplicationSetup.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "app/WaybillFieldSpecs.h"
#include "platform/AppEnvironment.h"
#include "platform/MessageBoxes.h"

namespace {

const QString kSurnames = QStringLiteral(
    "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏"
    "吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱"
    "严覃武戴莫孔向汤欧阳");
const QString kGiven = QStringLiteral(
    "伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超秀兰霞平刚桂英华玉萍红娥玲芬建国志强海燕晓东文辉春梅"
    "宇浩然子轩欣怡梓涵一诺雨桐思远佳琪博文天佑嘉怡俊杰");
const QString kPlaces = QStringLiteral("北京上海广州深圳杭州成都重庆武汉西安南京天津苏州长沙");

QString pick(QRandomGenerator& rng, const QString& pool, int count) {
    QString s;
    for (int i = 0; i < count; ++i) s += pool.at(rng.bounded(pool.size()));
    return s;
}

void waitExposed(QWidget* widget) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000 && !(widget->windowHandle() && widget->windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
}

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

void report(const QString& what, double milliseconds) {
    std::printf("%-60s %9.1f ms\n", qPrintable(what), milliseconds);
    std::fflush(stdout);
}

// Wall time and this process's processor time: on a machine busy with other work the first
// shows what a user waits, the second what the program itself costs.
class Stopwatch {
  public:
    Stopwatch() { restart(); }
    void restart() {
        m_wall.start();
        m_cpu = std::clock();
    }
    void report(const QString& what) const {
        const double cpu = double(std::clock() - m_cpu) * 1000.0 / CLOCKS_PER_SEC;
        std::printf("%-60s %9.1f ms (processor %.1f ms)\n", qPrintable(what),
                    m_wall.nsecsElapsed() / 1e6, cpu);
        std::fflush(stdout);
    }

  private:
    QElapsedTimer m_wall;
    std::clock_t m_cpu;
};

// The resident memory of this process, where the system tells it (Linux).
void reportMemory(const char* when) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            std::printf("resident memory %-44s %s\n", when, line.mid(6).simplified().constData());
    std::fflush(stdout);
}

// A message the program shows is printed and answered, so that the bench never waits for a
// person.
class PrintedMessageBoxes : public MessageBoxes {
  public:
    Answer show(QWidget*, Icon, const QString& text, Buttons) override {
        std::printf("message: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    void soundBeep() override {}
};

// Waits on the event loop until the pickers' entries have arrived.
void waitForEntries(AddressPickers& pickers) {
    while (pickers.isFilling()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// One key pressed and released on the picker (or its open list, once open), and the events
// that follow handled: the list shows the new entries.
double typeKey(QComboBox* picker, int key, const QString& text) {
    QElapsedTimer t;
    t.start();
    QObject* target = picker->view()->isVisible() ? static_cast<QObject*>(picker->view()) : picker;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
    QCoreApplication::processEvents();
    return ms(t);
}

int keyOf(QChar c) {
    const QChar upper = c.toUpper();
    return upper.unicode() < 128 && upper.isLetterOrNumber() ? upper.unicode() : 0;
}

// The entries a picker shows, and the rows its list holds before it is scrolled.
QString entriesShown(QComboBox* picker) {
    const int entries = static_cast<const AddressPickerModel*>(picker->model())->entryCount();
    // The empty entry on top (after typing) is no entry: no offered name is empty.
    const int rows = picker->count() - (picker->itemText(0).isEmpty() ? 1 : 0);
    return rows < entries ? QStringLiteral("%1 entries, the first %2 in the list").arg(entries).arg(rows)
                          : QStringLiteral("%1 entries").arg(entries);
}

// Types `text` into a closed picker one character at a time, each keystroke timed.
double typeTimed(QComboBox* picker, const char* pickerName, const QString& text) {
    picker->hidePopup();
    QCoreApplication::processEvents();
    double worst = 0;
    QString typed;
    for (const QChar c : text) {
        typed += c;
        const double m = typeKey(picker, keyOf(c), QString(c));
        worst = std::max(worst, m);
        report(QStringLiteral("  %1 keystroke to \"%2\" (%3)")
                   .arg(QLatin1String(pickerName), typed, entriesShown(picker)),
               m);
    }
    return worst;
}

// The program: the real main window over the book in `exeFolder`, as a user starts it.
int runProgram(const QString& exeFolder, const QString& workFolder, bool keys) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    int argc = 1;
    char name[] = "bench_addressbook";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    setUpApplication();
    PrintedMessageBoxes boxes;
    MessageBoxes::install(&boxes);
    AppEnvironment::setExecutableFolder(exeFolder);
    AppEnvironment::setWorkingFolder(workFolder);
    TEXPDPrintForm form;
    form.show();
    waitExposed(&form);
    report("start-up to the shown main window", ms(sinceStart));
    reportMemory("when the main window is shown");
    waitForEntries(*form.addressPickers);
    report("start-up to the pickers' entries arrived", ms(sinceStart));
    reportMemory("with the entries (editor closed)");
    if (!keys) return 0;
    std::printf("  (senders: %s; customers: %s)\n", qPrintable(entriesShown(form.cbbSendNames)),
                qPrintable(entriesShown(form.cbbCustomerNames)));

    double worst = 0;
    QComboBox* customers = form.cbbCustomerNames;
    form.activateWindow();
    customers->setFocus();
    // Names, initials, telephone digits and Han characters; among them the hardest seen: two
    // letters that begin syllables in most names ("ya", "hz", "sh"), digits in every
    // telephone ("13", "99") and characters in every company name ("贸易", "公司").
    for (const QString& text :
         {QStringLiteral("wang"), QStringLiteral("zs"), QStringLiteral("张"),
          QStringLiteral("1388"), QStringLiteral("贸易"), QStringLiteral("北京芳"),
          QStringLiteral("ya"), QStringLiteral("hz"), QStringLiteral("sh"), QStringLiteral("99"),
          QStringLiteral("公司")})
        worst = std::max(worst, typeTimed(customers, "customers", text));
    const double back = typeKey(customers, Qt::Key_Backspace, QString());
    report(QStringLiteral("  customers Backspace (%1)").arg(entriesShown(customers)), back);
    worst = std::max(worst, back);
    for (const QString& text : {QStringLiteral("wang"), QStringLiteral("l"), QStringLiteral("张")})
        worst = std::max(worst, typeTimed(form.cbbSendNames, "senders", text));
    report("picker keystroke to the updated list: worst", worst);
    // A look at the open list, when asked for: two equal names told apart among many.
    const QString screenshot = qEnvironmentVariable("QUORVEL_BENCH_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        typeTimed(form.cbbSendNames, "senders", QStringLiteral("zw"));
        form.cbbSendNames->view()->window()->grab().save(screenshot);
    }
    customers->hidePopup();
    form.cbbSendNames->hidePopup();

    // Choosing: an entry activated (as a click or Enter does) to filled fields.
    for (QComboBox* picker : {form.cbbSendNames, customers}) {
        picker->setCurrentIndex(-1);
        form.addressPickers->Fill();  // all entries again, none chosen
        QElapsedTimer t;
        t.start();
        constexpr int kPicks = 100;
        for (int i = 0; i < kPicks; ++i) {
            const int row = int((qint64(picker->count()) * (2 * i + 1)) / (2 * kPicks));
            picker->setCurrentIndex(row);
            emit picker->activated(row);
        }
        report(QStringLiteral("choosing a %1 to filled fields, per pick")
                   .arg(picker == customers ? "customer" : "sender"),
               ms(t) / kPicks);
    }
    std::printf("  (last chosen: %s)\n", qPrintable(form.field("cbb55")->text()));
    reportMemory("after typing and choosing (editor closed)");
    return 0;
}

// Runs the program part in a child process and passes its lines on.
bool runChild(const QString& exeFolder, const QString& workFolder, bool keys) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--program", exeFolder, workFolder, keys ? "keys" : "start"});
    return child.waitForFinished(300000) && child.exitCode() == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc > 4 && qstrcmp(argv[1], "--program") == 0)
        return runProgram(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                          qstrcmp(argv[4], "keys") == 0);
    QApplication app(argc, argv);
    PrintedMessageBoxes messages;
    MessageBoxes::install(&messages);
    const int senders = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int customers = argc > 2 ? std::atoi(argv[2]) : 100000;
    const int imported = argc > 3 ? std::atoi(argv[3]) : 100000;
    const QString sendersText = QString::number(senders) + " senders";
    const QString customersText = QString::number(customers) + " customers";

    QTemporaryDir exe;
    AppEnvironment::setExecutableFolder(exe.path());
    const QString data = QDir(exe.path()).filePath("data");

    // The book: random Chinese names, companies, telephones and places.
    QRandomGenerator rng(20261209);
    QList<testdata::Sender> senderRows;
    QList<testdata::Customer> customerRows;
    for (int i = 0; i < senders; ++i) {
        senderRows << testdata::Sender{
            pick(rng, kPlaces, 2) + pick(rng, kGiven, 2) + "有限公司",
            QString::number(13000000000LL + rng.bounded(99999999)),
            pick(rng, kPlaces, 2) + "市" + pick(rng, kGiven, 2) + "路" +
                QString::number(rng.bounded(999)) + "号",
            pick(rng, kSurnames, 1) + pick(rng, kGiven, 1 + rng.bounded(2)), pick(rng, kPlaces, 2)};
    }
    for (int i = 0; i < customers; ++i) {
        customerRows << testdata::Customer{
            pick(rng, kPlaces, 2) + pick(rng, kGiven, 2) + QString::number(i) + "贸易公司",
            QString::number(13000000000LL + rng.bounded(99999999)),
            pick(rng, kPlaces, 2) + "市" + pick(rng, kGiven, 2) + "街" +
                QString::number(rng.bounded(999)) + "号",
            pick(rng, kSurnames, 1) + pick(rng, kGiven, 2), pick(rng, kPlaces, 2)};
    }
    QElapsedTimer t;
    t.start();
    const QString path = testdata::makeBook(data, senderRows, customerRows);
    std::printf("address book: %d senders, %d customers, %.1f MB\n", senders, customers,
                QFileInfo(path).size() / 1048576.0);
    report("making the book (not part of the program)", ms(t));

    // The program itself, with an empty book and with this one.
    QTemporaryDir emptyExe, work;
    const QString emptyData = QDir(emptyExe.path()).filePath("data");
    testdata::makeBook(emptyData);
    if (!courierpictures::writeCourierPictures(work.path()).isEmpty()) return 1;
    std::printf("-- the program with an empty book\n");
    std::fflush(stdout);
    if (!runChild(emptyExe.path(), work.path(), false)) return 1;
    std::printf("-- the program with %d senders, %d customers\n", senders, customers);
    std::fflush(stdout);
    if (!runChild(exe.path(), work.path(), true)) return 1;

    // The editor over the same book, with a stand-in for the main window: two pickers and the
    // ten fields.
    QWidget window;
    auto* cbbSendNames = new QComboBox(&window);
    auto* cbbCustomerNames = new QComboBox(&window);
    cbbCustomerNames->move(0, 30);
    for (const WaybillFieldSpec& spec : waybillFieldSpecs()) {
        auto* field = new QComboBox(&window);
        field->setObjectName(spec.objectName());
        field->setEditable(true);
        field->setEditText(spec.captionText());
    }
    window.resize(800, 300);
    window.show();
    waitExposed(&window);

    AddressBook book;
    book.ConnectAddressBook();
    if (!book.isConnected()) return 1;
    AddressPickers pickers(book, cbbSendNames, cbbCustomerNames,
                           AddressPickers::fieldsUnder(&window));
    pickers.Fill();
    waitForEntries(pickers);

    // The editor: open (sender tab), switch to customers and back, scroll, find, add, close.
    // The dialog is timed without the pickers' refill that follows closing; that refill is
    // timed on its own.
    reportMemory("before the editor");
    Stopwatch editorTime;
    auto* form = new TCusAddForm(book, nullptr, &window);
    form->show();
    waitExposed(form);
    QCoreApplication::processEvents();
    editorTime.report("opening the editor (" + sendersText + " in the grid)");
    editorTime.restart();
    form->TabControl1->setCurrentIndex(1);  // runs TabControl1Change
    QCoreApplication::processEvents();
    editorTime.report("editor: switching to the customer tab (" + customersText + ")");
    reportMemory("with the editor open on the customers");
    editorTime.restart();
    form->DBGrid2->scrollToBottom();
    QCoreApplication::processEvents();
    editorTime.report("editor: scrolling to the last row");
    editorTime.restart();
    form->DBGrid2->selectRow(form->DBGrid2->model()->rowCount() - 1);
    QCoreApplication::processEvents();
    editorTime.report("editor: selecting the last row (edit boxes filled)");
    editorTime.restart();
    const bool found = form->DBGrid2->findNext(customerRows.at(customers / 2).phone.toString());
    QCoreApplication::processEvents();
    editorTime.report(
        QStringLiteral("editor: find a telephone number (%1)").arg(found ? "found" : "not found"));
    editorTime.restart();
    form->EdtKHName->setText("  新客户" + QString::number(customers + 1) + " ");
    form->BtnKHAdd->click();
    editorTime.report("editor: adding a customer (duplicate check + store)");
    editorTime.restart();
    form->EdtKHName->setText(customerRows.at(customers / 3).name.toString() + " ");
    form->BtnKHAdd->click();  // refused: the name exists
    editorTime.report("editor: adding an existing name (refused by the duplicate check)");
    editorTime.restart();
    form->TabControl1->setCurrentIndex(0);
    QCoreApplication::processEvents();
    editorTime.report("editor: switching back to the sender tab (" + sendersText + ")");
    form->TabControl1->setCurrentIndex(1);
    QCoreApplication::processEvents();
    editorTime.restart();
    form->close();
    QCoreApplication::processEvents();
    editorTime.report("editor: closing on the customer tab (the dialog's own work)");
    delete form;
    reportMemory("after the editor");
    editorTime.restart();
    pickers.Fill();
    pickers.cbbCustomerNamesChange();
    pickers.cbbSendNamesChange();
    waitForEntries(pickers);
    editorTime.report("refilling the pickers after the editor (until the entries arrived)");

    // Importing customers from a CSV file: one in ten is already in the book.
    QList<QStringList> records{AddressTransfer::columns(AddressTransfer::Table::Customers)};
    for (int i = 0; i < imported; ++i) {
        const bool existing = i % 10 == 0 && i / 10 < customers;
        records << QStringList{existing ? customerRows.at(i / 10).name.toString()
                                        : pick(rng, kPlaces, 2) + pick(rng, kGiven, 2) + "导入" +
                                              QString::number(i) + "公司",
                               QString::number(13000000000LL + rng.bounded(99999999)),
                               pick(rng, kPlaces, 2) + "市" + pick(rng, kGiven, 2) + "街",
                               pick(rng, kSurnames, 1) + pick(rng, kGiven, 2),
                               pick(rng, kPlaces, 2)};
    }
    const QString csv = QDir(exe.path()).filePath("import.csv");
    {
        QFile file(csv);
        if (!file.open(QIODevice::WriteOnly)) return 1;
        file.write(CsvRecords::fileBytes(records));
    }
    t.restart();
    const AddressTransfer::Plan plan =
        AddressTransfer::plan(book.connectionName(), AddressTransfer::Table::Customers, csv);
    const double planned = ms(t);
    t.restart();
    AddressTransfer::apply(book.connectionName(), plan, true);
    const double applied = ms(t);
    const QString importText = QString::number(imported) +
                               " rows: " + QString::number(plan.newRows.size()) + " new, " +
                               QString::number(plan.changes.size()) + " changed";
    report("import reading and planning (" + importText + ")", planned);
    report("import writing (one transaction)", applied);
    report("import in all", planned + applied);
    return 0;
}
