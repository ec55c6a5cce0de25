#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "waybill/WaybillTemplate.h"

// The address book's senders for a print with no main window: a read-only look at the book
// through a connection of its own. It never makes a book; a missing or foreign file leaves it
// closed, with the reason.
class SenderDirectory {
  public:
    SenderDirectory();
    ~SenderDirectory();
    SenderDirectory(const SenderDirectory&) = delete;
    SenderDirectory& operator=(const SenderDirectory&) = delete;

    bool isOpen() const { return m_open; }
    QString failure() const { return m_failure; }

    // The senders' names in the book's order (by pinyin).
    QStringList names() const;
    // The five sender fields ("cbb1" … "cbb5") of the first sender of that name; nothing when
    // the book has none.
    std::optional<WaybillTexts> textsOf(const QString& name) const;

  private:
    QString m_connection;
    bool m_open = false;
    QString m_failure;
};
