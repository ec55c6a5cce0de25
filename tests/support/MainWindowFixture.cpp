#include "support/MainWindowFixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QStyleHints>
#include <QTest>

#include "addressbook/AddressBookFile.h"
#include "addressbook/AddressPickers.h"
#include "app/TEXPDPrintForm.h"
#include "template/ProfileFile.h"

void chooseItem(QComboBox* list, const QString& text) {
    const int index = list->findText(text);
    QVERIFY2(index >= 0, qPrintable("no item " + text));
    list->showPopup();
    QAbstractItemView* view = list->view();
    QTRY_VERIFY(view->isVisible());
    // The open list ignores mouse releases for a double-click interval after it opened, so
    // the item is picked with the keyboard, which goes through the same `activated` path.
    view->setCurrentIndex(view->model()->index(index, list->modelColumn(), list->rootModelIndex()));
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY(!view->isVisible());
}

Qt::Key keyTyping(QChar c) {
    const QChar upper = c.toUpper();
    return upper.unicode() < 128 && upper.isLetterOrNumber() ? Qt::Key(upper.unicode())
                                                             : Qt::Key(0);
}

void clickListEntry(QComboBox* list, int row) {
    QWidget* top = list->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {},
                      list->mapTo(top, list->rect().center()));
    QAbstractItemView* view = list->view();
    QTRY_VERIFY(view->isVisible());
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    const QModelIndex index = view->model()->index(row, list->modelColumn());
    view->scrollTo(index);
    // An entry's rectangle may be wider than the list; click inside what is shown.
    const QPoint at(view->viewport()->width() / 2, view->visualRect(index).center().y());
    QWidget* popup = view->window();
    QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {},
                      view->viewport()->mapTo(popup, at));
    QTRY_VERIFY(!view->isVisible());
}

MainWindowFixture::MainWindowFixture(QStringList printerNames, QString defaultPrinter,
                                     double screenDpi)
    : folders(screenDpi) {
    for (const QString& name : printerNames) {
        RecordingPrinterBackend::Printer printer;
        printer.name = name;
        printers.printers << printer;
    }
    printers.defaultPrinter = defaultPrinter;
    for (const char* name : {"元智捷诚", "龙邦快递", "顺丰快递", "vornix"})
        writePicture(QString::fromUtf8(name));
    // The program's folder holds the empty address book, as make-address-book leaves it.
    AddressBookFile::create(QDir(folders.dataFolder()).filePath("QuorvelDB.qdb"),
                            QString::fromLatin1(AddressBookFile::kPassword));
}

MainWindowFixture::~MainWindowFixture() {
    m_form.reset();
}

void MainWindowFixture::writePicture(const QString& name) const {
    QImage picture(64, 36, QImage::Format_RGB32);
    picture.fill(name == "vornix" ? Qt::gray : Qt::white);
    picture.save(QDir(folders.workingFolder()).filePath(name + ".jpg"), "JPG");
}

void MainWindowFixture::removePicture(const QString& name) const {
    QFile::remove(QDir(folders.workingFolder()).filePath(name + ".jpg"));
}

void MainWindowFixture::writeSettings(const QString& content) const {
    QFile file(folders.settingsFile());
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(content.toUtf8());
}

QString MainWindowFixture::readSettings() const {
    QFile file(folders.settingsFile());
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    return QStringDecoder("GB18030")(bytes);
}

QString MainWindowFixture::value(const QString& section, const QString& key) const {
    return ProfileFile(folders.settingsFile()).readString(section, key, {});
}

TEXPDPrintForm& MainWindowFixture::start() {
    m_form = std::make_unique<TEXPDPrintForm>();
    m_form->show();
    // Focus decides what the size edits do, and only an active window has a focus widget.
    m_form->activateWindow();
    if (!QTest::qWaitForWindowActive(m_form.get())) qWarning("main window did not become active");
    if (m_form->addressPickers && !waitForPickerFill(*m_form->addressPickers))
        qWarning("the pickers' entries did not arrive");
    return *m_form;
}

bool waitForPickerFill(AddressPickers& pickers) {
    if (!pickers.isFilling()) return true;
    QSignalSpy ended(&pickers, &AddressPickers::fillEnded);
    return ended.wait(10000);
}
