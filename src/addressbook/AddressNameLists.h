#pragma once

#include <QDebug>
#include <QStringList>
#include <memory>

#include "addressbook/AddressEntries.h"

// Every name of one table, in the order of the listing statement, read from the entries the
// pickers hold: a million names cost no string of their own until one is asked for.
class AddressNameList {
  public:
    void setEntries(std::shared_ptr<const AddressEntries> entries) {
        m_entries = std::move(entries);
    }
    void clear() { m_entries.reset(); }

    qsizetype size() const { return m_entries ? m_entries->size() : 0; }
    bool isEmpty() const { return size() == 0; }
    QString at(qsizetype i) const { return m_entries->name(int(i)).toString(); }
    QStringList toStringList() const;

    friend bool operator==(const AddressNameList& list, const QStringList& names);
    friend QDebug operator<<(QDebug debug, const AddressNameList& list) {
        return debug << list.toStringList();
    }

  private:
    std::shared_ptr<const AddressEntries> m_entries;
};

// The process-wide name lists: every sender name (column 发货人 of 发货人) and every
// customer name (column 名称 of 客户), in the order of the listing statements. They exist from
// before the main window until the program ends; only a fill of the pickers changes them.
extern AddressNameList SenderNameList;
extern AddressNameList CustomerNameList;
