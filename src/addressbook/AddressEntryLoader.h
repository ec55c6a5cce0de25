#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

#include "addressbook/AddressBook.h"
#include "addressbook/AddressEntries.h"

class QThread;

// Reads a picker's entries on a thread of its own, through a connection of its own to the same
// book (a copy of the address book's connection: SQLite lets readers work side by side), and
// hands them to the thread that started it. A million entries take seconds to read; the
// window is shown and used meanwhile.
//
// Starting again while a read runs abandons that read: its entries are never delivered. The
// destructor abandons a running read and waits for its thread to end, so nothing is
// delivered to a controller that is gone.
class AddressEntryLoader : public QObject {
    Q_OBJECT
  public:
    explicit AddressEntryLoader(QObject* parent = nullptr);
    ~AddressEntryLoader() override;

    // Reads `sql` (its first four columns: key, name, detail, telephone) through a connection
    // of its own, opened by `openBook`.
    void start(AddressBook::ConnectionOpener openBook, const QString& sql);
    bool isLoading() const { return m_current != nullptr; }

    // Reads the entries where the caller runs; nothing when the statement fails or `abandoned`
    // is set meanwhile.
    static std::shared_ptr<AddressEntries> read(const AddressBook::ConnectionOpener& openBook,
                                                const QString& sql,
                                                const std::atomic_bool& abandoned);

  signals:
    void loaded(std::shared_ptr<const AddressEntries> entries);
    // The statement failed (the book went away or was changed underneath).
    void failed();

  private:
    struct Run;
    void deliver(const std::shared_ptr<Run>& run, std::shared_ptr<const AddressEntries> entries);

    std::shared_ptr<Run> m_current;
    std::vector<std::shared_ptr<Run>> m_runs;  // every run whose thread may still be working
};
