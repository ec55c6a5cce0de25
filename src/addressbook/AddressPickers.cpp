#include "addressbook/AddressPickers.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QListView>
#include <QStringListModel>
#include <QStyle>
#include <algorithm>
#include <numeric>

#include "addressbook/AddressBook.h"
#include "addressbook/AddressFieldColumns.h"
#include "addressbook/AddressNameLists.h"
#include "addressbook/Pinyin.h"
#include "app/DropDownList.h"
#include "platform/HandlerGuard.h"

namespace {

// The columns of a side's entries: the name, what tells equal names apart, the telephone.
struct EntryColumns {
    const char* name;
    const char* detail;
    const char* phone;
};
constexpr EntryColumns kSenderEntry{"发货人", "单位", "电话"};
constexpr EntryColumns kCustomerEntry{"名称", "收货人", "电话"};

}  // namespace

AddressPickers::AddressPickers(AddressBook& book, QComboBox* cbbSendNames,
                               QComboBox* cbbCustomerNames, FieldLookup fields, QObject* parent)
    : QObject(parent),
      m_book(book),
      m_sendNames(cbbSendNames),
      m_customerNames(cbbCustomerNames),
      m_fields(std::move(fields)) {
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
    // Nothing written since the last fill: the entries are still right; only the pickers start
    // afresh, with every entry and none chosen.
    const auto stamp = m_book.changeStamp();
    if (stamp && stamp == m_filledAt) {
        for (bool senderSide : {true, false}) showAll(senderSide);
        return;
    }
    m_filledAt.reset();
    fillSide(true);
    fillSide(false);
    m_filledAt = stamp;
}

void AddressPickers::showAll(bool senderSide) {
    setTyped(senderSide, QString());
    side(senderSide).filtered.clear();
    QVector<int> all(side(senderSide).search.entries().size());
    std::iota(all.begin(), all.end(), 0);
    showEntries(senderSide, all, false);
}

void AddressPickers::fillSide(bool senderSide) {
    const EntryColumns& columns = senderSide ? kSenderEntry : kCustomerEntry;
    AddressQuery& query = *m_book.ADOQuery1;
    m_book.OpenData(senderSide ? AddressBook::kSenderEntriesSql : AddressBook::kCustomerEntriesSql,
                    query);
    const QString nameColumn = QString::fromUtf8(columns.name);
    const QString detailColumn = QString::fromUtf8(columns.detail);
    const QString phoneColumn = QString::fromUtf8(columns.phone);
    const int keyColumn = 0;
    QStringList names;
    QVector<AddressEntry> entries;
    names.reserve(query.recordCount());
    entries.reserve(query.recordCount());
    const int nameAt = query.columnIndex(nameColumn);
    const int detailAt = query.columnIndex(detailColumn);
    const int phoneAt = query.columnIndex(phoneColumn);
    auto textAt = [&query](int row, int column) {
        const QVariant v = query.valueAt(row, column);
        return v.isNull() ? QString() : v.toString();
    };
    for (int row = 0; row < query.recordCount(); ++row) {
        const QString name = textAt(row, nameAt);
        names.append(name);
        // A row without a name (a company stored without its person) is no picker entry.
        if (name.trimmed().isEmpty()) continue;
        entries.append({query.valueAt(row, keyColumn), name, textAt(row, detailAt).trimmed(),
                        textAt(row, phoneAt).trimmed()});
    }
    query.close();
    (senderSide ? SenderNameList : CustomerNameList) = std::move(names);
    side(senderSide).search.setEntries(std::move(entries));
    showAll(senderSide);
}

void AddressPickers::showEntries(bool senderSide, const QVector<int>& indexes,
                                 bool withEmptyEntry) {
    Side& s = side(senderSide);
    QStringList labels;
    labels.reserve(indexes.size() + 1);
    s.shown.clear();
    if (withEmptyEntry) {
        labels.append(QString());
        s.shown.append(-1);
    }
    QComboBox* picker = senderSide ? m_sendNames : m_customerNames;
    // The open list is as wide as the entries that tell equal names apart (all entries, when
    // there are few): what tells them apart must not be cut off by the narrow picker. Measuring
    // every one of many thousand names would slow each keystroke down.
    constexpr qsizetype kMeasuredAll = 500;
    const QFontMetrics metrics(picker->view()->font());
    int widest = 0;
    for (int index : indexes) {
        labels.append(s.search.label(index));
        s.shown.append(index);
        if (indexes.size() <= kMeasuredAll || s.search.sharesName(index))
            widest = std::max(widest, metrics.horizontalAdvance(labels.last()));
    }
    QAbstractItemView* view = picker->view();
    QStyle* style = view->style();
    const int margins = 2 * view->frameWidth() +
                        2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) +
                        style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    view->setMinimumWidth(widest > 0 ? widest + margins : 0);
    ReplaceEntries(picker, labels);
}

void AddressPickers::setTyped(bool senderSide, const QString& typed) {
    side(senderSide).typed = typed;
    (senderSide ? m_sendNames : m_customerNames)->setPlaceholderText(typed);
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
    Side& s = side(senderSide);
    setTyped(senderSide, QString());
    const QString text = picker->currentText();
    const int row = picker->currentIndex();
    // The entry of the chosen row, when the picker still shows what this controller put there.
    const int index = (row >= 0 && row < s.shown.size() && s.shown.size() == picker->count())
                          ? s.shown.at(row)
                          : -1;
    const bool ownEntry = index >= 0 && s.search.label(index) == text;
    // No name chosen (or the filter's empty entry): the side's fields are emptied, so that
    // they show their captions as placeholders again and print nothing.
    if (text.isEmpty()) {
        for (int i = 0; i < 5; ++i) setField(QLatin1String(table[i].field), QString());
        return;
    }
    AddressQuery& query = *m_book.ADOQuery1;
    const QString name = ownEntry ? s.search.entries().at(index).name : text;
    m_book.OpenData(lookupSql, query, {name});
    // The chosen entry's own row among the rows of that name, else the first; no row reads as
    // empty texts.
    if (ownEntry && query.recordCount() > 1) {
        const QVariant key = s.search.entries().at(index).key;
        query.locate(query.columnNames().value(0), key.toString());
    }
    if (ownEntry) s.search.notePicked(index);
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
    keyUp(true, key);
}

void AddressPickers::cbbCustomerNamesKeyUp(int key) {
    keyUp(false, key);
}

void AddressPickers::keyUp(bool senderSide, int key) {
    Side& s = side(senderSide);
    QString narrowing = s.typed;
    if (narrowing.isEmpty()) {
        if (!s.filtered.isEmpty()) {
            // Everything typed was taken back: all entries again.
            s.filtered.clear();
            QVector<int> all(s.search.entries().size());
            std::iota(all.begin(), all.end(), 0);
            showEntries(senderSide, all, true);
            return;
        }
        if (key < 65 || key > 90) return;
        narrowing = QString(QChar::fromLatin1(char(key)));
    } else if (narrowing == s.filtered) {
        return;  // a key that typed nothing (an arrow, Shift) leaves the entries alone
    }
    s.filtered = s.typed;
    showEntries(senderSide, s.search.matching(narrowing), true);
}

bool AddressPickers::takeTypedKey(QComboBox* picker, bool senderSide, const QKeyEvent& key) {
    // A typed character must not reach QComboBox or its list: their type-ahead would choose
    // the first entry starting with that character (on the closed picker even reporting it as
    // the user's choice). Typing opens the list (AutoDropDown) and collects the text that
    // narrows it; the release then filters.
    Side& s = side(senderSide);
    const bool listOpen = picker->view()->isVisible();
    if (key.key() == Qt::Key_Backspace && listOpen && !s.typed.isEmpty()) {
        setTyped(senderSide, s.typed.chopped(1));
        return true;
    }
    const QString text = key.text();
    const bool typed = !text.isEmpty() && text.front().isPrint() &&
                       !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!typed) return false;
    // A new search starts with the list closed.
    if (!listOpen) {
        s.filtered.clear();
        setTyped(senderSide, text);
        if (m_autoDropDown) picker->showPopup();
    } else {
        setTyped(senderSide, s.typed + text);
    }
    return true;
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
    const bool senderSide = picker == m_sendNames;
    if (event->type() == QEvent::KeyPress) return takeTypedKey(picker, senderSide, *key);
    if (key->isAutoRepeat()) return false;
    const int code = key->key();
    if (senderSide)
        runGuarded([&] { cbbSendNamesKeyUp(code); });
    else
        runGuarded([&] { cbbCustomerNamesKeyUp(code); });
    return false;
}
