#include "addressbook/AddressPickers.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QListView>
#include <QStringListModel>
#include <QStyle>
#include <algorithm>
#include <queue>

#include "addressbook/AddressBook.h"
#include "addressbook/AddressEntryLoader.h"
#include "addressbook/AddressFieldColumns.h"
#include "addressbook/AddressNameLists.h"
#include "addressbook/AddressPickerModel.h"
#include "addressbook/Pinyin.h"
#include "app/DropDownList.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageBoxes.h"

AddressPickers::AddressPickers(AddressBook& book, QComboBox* cbbSendNames,
                               QComboBox* cbbCustomerNames, FieldLookup fields, QObject* parent)
    : QObject(parent),
      m_book(book),
      m_sendNames(cbbSendNames),
      m_customerNames(cbbCustomerNames),
      m_fields(std::move(fields)) {
    preparePicker(m_sendNames, m_sender);
    preparePicker(m_customerNames, m_customer);
    for (bool senderSide : {true, false}) {
        AddressEntryLoader* loader = side(senderSide).loader;
        connect(loader, &AddressEntryLoader::loaded, this,
                [this, senderSide](std::shared_ptr<const AddressEntries> entries) {
                    entriesLoaded(senderSide, std::move(entries));
                });
        connect(loader, &AddressEntryLoader::failed, this, &AddressPickers::loadFailed);
    }
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

void AddressPickers::preparePicker(QComboBox* picker, Side& side) {
    // A model over entry indexes: a million names go in with one reset, not one item at a
    // time, and the list view lays them out as rows of one height.
    // A drop-down list without free text entry: the picker's text is the chosen entry
    // or empty.
    picker->setEditable(false);
    side.model = new AddressPickerModel(picker);
    picker->setModel(side.model);
    side.loader = new AddressEntryLoader(this);
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
    refitOpenList(picker);
}

void AddressPickers::refitOpenList(QComboBox* picker) {
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
    // Until the entries arrive the pickers keep their entries, with none chosen.
    for (bool senderSide : {true, false}) {
        setTyped(senderSide, QString());
        picker(senderSide)->setCurrentIndex(-1);
    }
    // Nothing written since the fill under way: its entries are on their way.
    if (stamp && stamp == m_loadingAt && isFilling()) return;
    m_filledAt.reset();
    m_loadingAt.reset();
    for (bool senderSide : {true, false}) {
        const QString& sql =
            senderSide ? AddressBook::kSenderEntriesSql : AddressBook::kCustomerEntriesSql;
        // The statement is tried here, reading no row, so that its failure is told now.
        m_book.OpenData(sql + QStringLiteral(" limit 0"), *m_book.ADOQuery1);
        m_book.ADOQuery1->close();
        side(senderSide).loader->start(m_book.connectionOpener(), sql);
    }
    m_loadingAt = stamp;
}

bool AddressPickers::isFilling() const {
    return m_sender.loader->isLoading() || m_customer.loader->isLoading();
}

void AddressPickers::entriesLoaded(bool senderSide, std::shared_ptr<const AddressEntries> entries) {
    (senderSide ? SenderNameList : CustomerNameList).setEntries(entries);
    Side& s = side(senderSide);
    s.search.setEntries(std::move(entries));
    s.searches.clear();
    if (!s.typed.isEmpty() && picker(senderSide)->view()->isVisible()) {
        // Typed before the entries arrived: the text narrows them now.
        s.filtered.clear();
        keyUp(senderSide, 0);
    } else {
        showAll(senderSide);
    }
    if (isFilling()) return;
    m_filledAt = m_loadingAt;
    m_loadingAt.reset();
    emit fillEnded();
}

void AddressPickers::loadFailed() {
    m_loadingAt.reset();
    MessageBoxes::information(AddressBook::kStatementFailedText);
    if (!isFilling()) emit fillEnded();
}

void AddressPickers::showAll(bool senderSide) {
    setTyped(senderSide, QString());
    side(senderSide).filtered.clear();
    showEntries(senderSide, ShownEntries(side(senderSide).search.all(), {}), false);
}

void AddressPickers::showEntries(bool senderSide, ShownEntries shown, bool withEmptyEntry) {
    fitListWidth(senderSide, shown.found());
    Side& s = side(senderSide);
    s.model->setRows(s.search.sharedEntries(), std::move(shown), withEmptyEntry);
    refitOpenList(picker(senderSide));
}

void AddressPickers::fitListWidth(bool senderSide, const std::vector<int>& indexes) {
    // The open list is as wide as the entries that tell equal names apart (all entries, when
    // there are few): what tells them apart must not be cut off by the narrow picker. Of many
    // thousand, only the longest labels are measured: measuring all would slow each keystroke.
    constexpr size_t kMeasuredAll = 500;
    constexpr size_t kMeasuredLongest = 32;
    const AddressEntries& entries = side(senderSide).search.entries();
    std::vector<int> measured;
    if (indexes.size() <= kMeasuredAll) {
        measured = indexes;
    } else {
        using Candidate = std::pair<qsizetype, int>;  // label length, entry
        std::priority_queue<Candidate, std::vector<Candidate>, std::greater<>> longest;
        for (int index : indexes) {
            if (!entries.sharesName(index)) continue;
            longest.emplace(entries.labelLength(index), index);
            if (longest.size() > kMeasuredLongest) longest.pop();
        }
        for (; !longest.empty(); longest.pop()) measured.push_back(longest.top().second);
    }
    QAbstractItemView* view = picker(senderSide)->view();
    const QFontMetrics metrics(view->font());
    int widest = 0;
    for (int index : measured)
        widest = std::max(widest, metrics.horizontalAdvance(entries.label(index)));
    QStyle* style = view->style();
    const int margins = 2 * view->frameWidth() +
                        2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) +
                        style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    view->setMinimumWidth(widest > 0 ? widest + margins : 0);
}

void AddressPickers::setTyped(bool senderSide, const QString& typed) {
    side(senderSide).typed = typed;
    picker(senderSide)->setPlaceholderText(typed);
}

void AddressPickers::setField(const QString& name, const QString& text) const {
    QComboBox* field = m_fields ? m_fields(name) : nullptr;
    if (field) field->setCurrentText(text);
}

void AddressPickers::change(bool senderSide) {
    QComboBox* picker = this->picker(senderSide);
    const FieldColumn* table = senderSide ? kSenderFields : kCustomerFields;
    Side& s = side(senderSide);
    setTyped(senderSide, QString());
    const QString text = picker->currentText();
    // The entry of the chosen row, when the picker still shows what this controller put there.
    const int index = picker->model() == s.model ? s.model->entryAt(picker->currentIndex()) : -1;
    const AddressEntries& entries = s.search.entries();
    const bool ownEntry = index >= 0 && entries.label(index) == text;
    // No name chosen (or the filter's empty entry): the side's fields are emptied, so that
    // they show their captions as placeholders again and print nothing.
    if (text.isEmpty()) {
        for (int i = 0; i < 5; ++i) setField(QLatin1String(table[i].field), QString());
        return;
    }
    // The chosen entry is read by its key: that very row, also among equal names. A name
    // that is no entry of this picker is looked up by name (the first row of that name).
    AddressQuery& query = *m_book.ADOQuery1;
    if (ownEntry)
        m_book.OpenData(senderSide ? AddressBook::kSenderByKeySql : AddressBook::kCustomerByKeySql,
                        query, {entries.key(index)});
    else
        m_book.OpenData(
            senderSide ? AddressBook::kSenderLookupSql : AddressBook::kCustomerLookupSql, query,
            {text});
    if (ownEntry) s.search.notePicked(index);
    // No row reads as empty texts.
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
            showEntries(senderSide, ShownEntries(s.search.all(), {}), true);
            return;
        }
        if (key < 65 || key > 90) return;
        narrowing = QString(QChar::fromLatin1(char(key)));
    } else if (narrowing == s.filtered) {
        return;  // a key that typed nothing (an arrow, Shift) leaves the entries alone
    }
    s.filtered = s.typed;
    showEntries(senderSide, s.search.inShowingOrder(found(senderSide, narrowing)), true);
    // A picker still waiting for its entries had nothing to open on the key press: its list
    // opens now, so that the next keys add to the text instead of starting a new one.
    QComboBox* picker = this->picker(senderSide);
    if (!s.typed.isEmpty() && m_autoDropDown && !picker->view()->isVisible()) picker->showPopup();
}

AddressSearch::SharedFound AddressPickers::found(bool senderSide, const QString& typed) {
    auto& searches = side(senderSide).searches;
    const AddressSearch& search = side(senderSide).search;
    while (!searches.empty() && !typed.startsWith(searches.back().first)) searches.pop_back();
    if (!searches.empty() && searches.back().first == typed) return searches.back().second;
    AddressSearch::SharedFound found =
        searches.empty() ? search.matching(typed)
                         : search.narrowed(searches.back().second, searches.back().first, typed);
    searches.emplace_back(typed, found);
    return found;
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
