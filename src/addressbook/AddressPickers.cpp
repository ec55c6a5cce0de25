#include "addressbook/AddressPickers.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QListView>
#include <QStringListModel>

#include "addressbook/AddressBook.h"
#include "addressbook/AddressFieldColumns.h"
#include "addressbook/AddressNameLists.h"
#include "addressbook/Pinyin.h"
#include "app/DropDownList.h"
#include "platform/HandlerGuard.h"

AddressPickers::AddressPickers(AddressBook& book, QComboBox* cbbSendNames,
                               QComboBox* cbbCustomerNames, FieldLookup fields, QObject* parent)
    : QObject(parent),
      m_book(book),
      m_sendNames(cbbSendNames),
      m_customerNames(cbbCustomerNames),
      m_fields(std::move(fields)),
      m_senderList(&SenderNameList),
      m_customerList(&CustomerNameList) {
    preparePicker(m_sendNames);
    preparePicker(m_customerNames);
    connect(m_sendNames, &QComboBox::activated, this,
            [this] { runGuarded([this] { cbbSendNamesChange(); }); });
    connect(m_customerNames, &QComboBox::activated, this,
            [this] { runGuarded([this] { cbbCustomerNamesChange(); }); });
}

AddressPickers::FieldLookup AddressPickers::fieldsUnder(QWidget* root) {
    return [root](const QString& name) -> QComboBox* {
        return root ? root->findChild<QComboBox*>(name) : nullptr;
    };
}

void AddressPickers::setNameLists(QStringList* senderNames, QStringList* customerNames) {
    m_senderList = senderNames;
    m_customerList = customerNames;
}

void AddressPickers::preparePicker(QComboBox* picker) {
    // A plain string model: tens of thousands of names go in with one reset, not one item at a
    // time, and the list view lays them out as rows of one height.
    // A drop-down list without free text entry: the picker's text is the chosen entry
    // or empty.
    picker->setEditable(false);
    if (!qobject_cast<QStringListModel*>(picker->model()))
        picker->setModel(new QStringListModel(picker));
    if (auto* list = qobject_cast<QListView*>(picker->view())) list->setUniformItemSizes(true);
    // Its width is fixed by the window; never measure every name for a size hint.
    picker->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // Drop-down lists ten rows high: a menu-style list would measure all names on opening, a
    // fifth of a second for 30 000 of them.
    picker->setStyle(dropDownListStyle());
    picker->setMaxVisibleItems(10);
    picker->setFocusPolicy(Qt::ClickFocus);  // skipped by the Tab key
    picker->setCurrentIndex(-1);
    picker->installEventFilter(this);
    picker->view()->installEventFilter(this);
}

void AddressPickers::ReplaceEntries(QComboBox* picker, const QStringList& entries) {
    if (auto* model = qobject_cast<QStringListModel*>(picker->model())) {
        model->setStringList(entries);
    } else {
        picker->clear();
        picker->addItems(entries);
    }
    // A reset model makes QComboBox choose its first entry (without `activated`); undo that.
    picker->setCurrentIndex(-1);
    // The list opened on the key press keeps the height and the scroll position it had for the
    // old entries: lay it out again for the new ones and show them from the first.
    if (picker->view()->isVisible() && picker->count() > 0) {
        picker->showPopup();
        picker->view()->scrollToTop();
    }
}

void AddressPickers::Fill() {
    m_book.ShowStringList(AddressBook::kSenderListSql, QStringLiteral("发货人"), *m_senderList,
                          *m_book.ADOQuery1);
    ReplaceEntries(m_sendNames, *m_senderList);
    m_book.ShowStringList(AddressBook::kCustomerListSql, QStringLiteral("名称"), *m_customerList,
                          *m_book.ADOQuery1);
    ReplaceEntries(m_customerNames, *m_customerList);
}

void AddressPickers::setField(const QString& name, const QString& text) const {
    QComboBox* field = m_fields ? m_fields(name) : nullptr;
    if (field) field->setCurrentText(text);
}

void AddressPickers::change(bool senderSide) {
    QComboBox* picker = senderSide ? m_sendNames : m_customerNames;
    const FieldColumn* table = senderSide ? kSenderFields : kCustomerFields;
    const QString& lookupSql =
        senderSide ? AddressBook::kSenderLookupSql : AddressBook::kCustomerLookupSql;
    const QString text = picker->currentText();
    // No name chosen (or the filter's empty entry): the side's fields are emptied, so that
    // they show their captions as placeholders again and print nothing.
    if (text.isEmpty()) {
        for (int i = 0; i < 5; ++i) setField(QLatin1String(table[i].field), QString());
        return;
    }
    AddressQuery& query = *m_book.ADOQuery1;
    m_book.OpenData(lookupSql, query, {text});
    // The first row of the result; no row reads as empty texts.
    for (int i = 0; i < 5; ++i)
        setField(QLatin1String(table[i].field), query.text(QString::fromUtf8(table[i].column)));
    query.close();
}

void AddressPickers::cbbSendNamesChange() {
    change(true);
}

void AddressPickers::cbbCustomerNamesChange() {
    change(false);
}

void AddressPickers::FilterPickerByKey(QComboBox* picker, int key, const QStringList& names) {
    if (key < 65 || key > 90) return;
    const QChar letter = QChar::fromLatin1(char(key));
    QStringList entries = NamesWithInitial(names, letter);
    if (entries.isEmpty()) entries = names;
    entries.prepend(QString());
    ReplaceEntries(picker, entries);
}

void AddressPickers::cbbSendNamesKeyUp(int key) {
    FilterPickerByKey(m_sendNames, key, *m_senderList);
}

void AddressPickers::cbbCustomerNamesKeyUp(int key) {
    FilterPickerByKey(m_customerNames, key, *m_customerList);
}

void AddressPickers::ResetPickers() {
    m_customerNames->setCurrentIndex(-1);
    cbbCustomerNamesChange();
    m_sendNames->setCurrentIndex(-1);
    cbbSendNamesChange();
}

bool AddressPickers::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    QComboBox* picker = nullptr;
    if (watched == m_sendNames || watched == m_sendNames->view())
        picker = m_sendNames;
    else if (watched == m_customerNames || watched == m_customerNames->view())
        picker = m_customerNames;
    if (!picker) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyPress) {
        // A typed character on the closed picker must not reach QComboBox: its type-ahead
        // would choose the first entry starting with that character and report it as the
        // user's choice, filling the waybill with whoever sorts first. Typing only opens the
        // list (AutoDropDown); the release then filters it.
        const QString text = key->text();
        const bool typed = watched == picker && !text.isEmpty() && text.front().isPrint() &&
                           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (!typed) return false;
        if (m_autoDropDown && !picker->view()->isVisible()) picker->showPopup();
        return true;
    }
    if (key->isAutoRepeat()) return false;
    const int code = key->key();
    if (picker == m_sendNames)
        runGuarded([&] { cbbSendNamesKeyUp(code); });
    else
        runGuarded([&] { cbbCustomerNamesKeyUp(code); });
    return false;
}
