#pragma once

#include <QStringList>
#include <memory>

#include "platform/PrinterBackend.h"
#include "support/TestSupport.h"

class QComboBox;
class TEXPDPrintForm;

// Picks the item with the given text from a drop-down list as a person does: opens the list
// and clicks the item, so the list's `activated` handlers run.
void chooseItem(QComboBox* list, const QString& text);

// A printer list for tests of the program's printer choice: names and a default, nothing
// printable (tests of the print path use the engine's recording back end).
class PrinterListBackend : public PrinterBackend {
public:
    PrinterListBackend(QStringList names, QString defaultName);
    ~PrinterListBackend() override;

    QStringList printerNames() override { return names; }
    QString defaultPrinterName() override { return defaultName; }
    std::unique_ptr<PrinterDevice> open(const QString& printerName,
                                        const PrinterDeviceMode& mode) override;

    QStringList names;
    QString defaultName;
};

// Everything a main-window test needs: private folders, answered message boxes, a printer list
// and the courier pictures in the working folder (small plain JPEGs; their look is not tested).
class MainWindowFixture {
public:
    explicit MainWindowFixture(QStringList printers = {"Office Laser", "Dot Matrix"},
                               QString defaultPrinter = "Office Laser", double screenDpi = 120.0);
    ~MainWindowFixture();

    // Writes "<name>.jpg" into the working folder.
    void writePicture(const QString& name) const;
    void removePicture(const QString& name) const;
    // Writes raw lines into the settings file (UTF-8).
    void writeSettings(const QString& content) const;
    // The settings file's text, whichever encoding the program wrote it in.
    QString readSettings() const;
    // One value as the program reads it (empty when absent).
    QString value(const QString& section, const QString& key) const;

    // Creates the main window and shows it, as the program's start does.
    TEXPDPrintForm& start();
    TEXPDPrintForm& form() { return *m_form; }

    TestFolders folders;
    RecordingMessageBoxes boxes;
    PrinterListBackend printers;

private:
    std::unique_ptr<TEXPDPrintForm> m_form;
};
