#pragma once

#include <QStringList>
#include <memory>

#include "support/RecordingPrinterBackend.h"
#include "support/TestSupport.h"

class AddressPickers;
class QComboBox;
class TEXPDPrintForm;

// Waits (on the event loop, at most ten seconds) until the entries of the pickers' last fill
// have arrived; returns whether they did.
bool waitForPickerFill(AddressPickers& pickers);

// Picks the item with the given text from a drop-down list as a person does: opens the list
// and clicks the item, so the list's `activated` handlers run.
void chooseItem(QComboBox* list, const QString& text);

// The key a character is typed with: a letter's or digit's own key, no key code for others.
Qt::Key keyTyping(QChar c);

// Picks the entry in row `row` of a drop-down list with the mouse only: a click on the list
// opens it, a click on the entry (after a double-click time, as a person does) chooses it.
void clickListEntry(QComboBox* list, int row);

// Everything a main-window test needs: private folders, answered message boxes, recording
// printers of the given names (180 dpi, custom paper offered) and the courier pictures in the
// working folder (small plain JPEGs; their look is not tested).
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

    // Creates the main window and shows it, as the program's start does, and waits for the
    // pickers' entries.
    TEXPDPrintForm& start();
    TEXPDPrintForm& form() { return *m_form; }

    TestFolders folders;
    RecordingMessageBoxes boxes;
    RecordingPrinterBackend printers;

  private:
    std::unique_ptr<TEXPDPrintForm> m_form;
};
