#pragma once

#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "addressbook/AddressSearch.h"

class QComboBox;
class QWidget;
class QKeyEvent;
class AddressBook;
class AddressEntryLoader;
class AddressPickerModel;

// The sender and customer pickers, for the main window's two drop-down lists
// cbbSendNames and cbbCustomerNames: the fill from the address book, the two change operations
// that fill the five fields of a side from the picked name's row (or empty them, so that
// their captions show as placeholders), and the pinyin-initial letter filter on key release.
//
// It needs no main window: it is given the two pickers and a way to reach the ten waybill
// fields by object name ("cbb1" ... "cbb55"). A field is a combo box in "simple" style (an
// editable QComboBox); its text is set with setCurrentText. A field that no longer exists (the
// layout editor deleted it) is skipped.
//
// The controller wires the pickers itself: a user's choice (QComboBox::activated, never the
// program's selection) runs the change operation, a key release on the picker or on its open
// list runs the key-up operation, both inside the handler guard. A picker opens its list as
// soon as a character is typed (AutoDropDown) and is skipped by the Tab key. A typed character
// never chooses an entry: only Enter on an entry, a click, or the empty entry does.
class AddressPickers : public QObject {
    Q_OBJECT
  public:
    using FieldLookup = std::function<QComboBox*(const QString& objectName)>;

    AddressPickers(AddressBook& book, QComboBox* cbbSendNames, QComboBox* cbbCustomerNames,
                   FieldLookup fields, QObject* parent = nullptr);

    // Fields found as combo-box descendants of `root` by object name.
    static FieldLookup fieldsUnder(QWidget* root);

    // The fill: senders (list and entries), then customers. Each side's statement is tried at
    // once (no row read): a failing one throws SilentAbort after OpenData's message, and the
    // list concerned and its picker stay as they were. The rows themselves are read on a
    // thread of their own (AddressEntryLoader); until they arrive the pickers keep what they
    // had, and a text typed meanwhile narrows the entries when they arrive. When the book has
    // not changed since the last fill, the names are not read again.
    void Fill();
    // Whether entries of a fill are still on their way.
    bool isFilling() const;

    // The change operations.
    void cbbSendNamesChange();
    void cbbCustomerNamesChange();

    // The key-up operations: `key` is the Qt key code (Qt::Key_A .. Qt::Key_Z are 65 .. 90, the
    // Windows virtual-key codes of the letter keys). While the user is typing into the open list
    // the entries are narrowed by everything typed since it opened (see AddressSearch); without
    // typed text a letter key runs the letter filter.
    void cbbSendNamesKeyUp(int key);
    void cbbCustomerNamesKeyUp(int key);

    // For the courier switch: clears the customer picker's choice and runs its change
    // operation, then the same for the sender picker; all ten fields are empty and
    // show their captions.
    void ResetPickers();

    // The letter filter on one picker: letter keys 65 to 90 only; the picker's entries become
    // an empty entry followed by the names of `names` with that initial, or by all of `names`
    // when none has it. No entry is chosen afterwards and no change operation runs.
    static void FilterPickerByKey(QComboBox* picker, int key, const QStringList& names);

    // Replaces a picker's entries; leaves no entry chosen and runs no change operation. An open
    // list is fitted to the new entries and shows them from the first.
    static void ReplaceEntries(QComboBox* picker, const QStringList& entries);

    QComboBox* senderPicker() const { return m_sendNames; }
    QComboBox* customerPicker() const { return m_customerNames; }

    // Whether typing a character opens the picker's list (on by default).
    void setAutoDropDown(bool on) { m_autoDropDown = on; }

  signals:
    // The entries of the last fill have arrived, or their reading failed.
    void fillEnded();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // What each side keeps: its entries, the entries shown in its picker, the text typed since
    // its list opened, and what recent searches found (each text a prefix of the next), so
    // that typing on narrows the last result and Backspace takes an earlier one back.
    struct Side {
        AddressSearch search;
        AddressPickerModel* model = nullptr;
        AddressEntryLoader* loader = nullptr;
        QString typed;
        QString filtered;  // the typed text the entries were last narrowed by
        std::vector<std::pair<QString, AddressSearch::SharedFound>> searches;
    };

    void preparePicker(QComboBox* picker, Side& side);
    void change(bool senderSide);
    void keyUp(bool senderSide, int key);
    AddressSearch::SharedFound found(bool senderSide, const QString& typed);
    void showEntries(bool senderSide, ShownEntries shown, bool withEmptyEntry);
    void fitListWidth(bool senderSide, const std::vector<int>& indexes);
    void setTyped(bool senderSide, const QString& typed);
    bool takeTypedKey(QComboBox* picker, bool senderSide, const QKeyEvent& key);
    void entriesLoaded(bool senderSide, std::shared_ptr<const AddressEntries> entries);
    void loadFailed();
    void showAll(bool senderSide);
    void setField(const QString& name, const QString& text) const;
    Side& side(bool senderSide) { return senderSide ? m_sender : m_customer; }
    QComboBox* picker(bool senderSide) const { return senderSide ? m_sendNames : m_customerNames; }
    static void refitOpenList(QComboBox* picker);

    AddressBook& m_book;
    QComboBox* m_sendNames;
    QComboBox* m_customerNames;
    FieldLookup m_fields;
    Side m_sender;
    Side m_customer;
    bool m_autoDropDown = true;
    std::optional<QPair<quint64, qint64>> m_filledAt;   // the book's change stamp at the last fill
    std::optional<QPair<quint64, qint64>> m_loadingAt;  // and at the fill whose rows are read
};
