// The pickers over a large book: the compact entries and the fast search keep exactly what the
// plain search keeps, typing on and Backspace agree with a search afresh, and the entries read
// in the background reach the pickers whatever the user does meanwhile.
#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QStyleHints>
#include <QtTest>
#include <memory>

#include "AddressBookTestData.h"
#include "addressbook/AddressBook.h"
#include "addressbook/AddressNameLists.h"
#include "addressbook/AddressPickerModel.h"
#include "addressbook/AddressPickers.h"
#include "addressbook/AddressSearch.h"
#include "addressbook/Pinyin.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "support/MainWindowFixture.h"

using namespace testdata;

namespace {

struct Row {
    QString name, detail, phone;
};

// A varied book, ordered as the entries statement orders it (equal names together): Han names
// with surnames read apart from the word (单 解 区) and second-level ones (闫 覃), Latin names in
// both cases, names starting with digits, equal names, names with punctuation and blanks.
const QList<Row> kRows{
    {"123物流", "", "021-5550123"},
    {"3M中国", "明明", ""},
    {"Anna Lee", "ACME Ltd", "555"},
    {"anna lee", "", "13800001234"},
    {"单雄信", "瓦岗寨", "13511112222"},
    {"解缙", "翰林院", ""},
    {"区家麟", "", "18600006666"},
    {"闫妮", "北京人艺", "010-66668888"},
    {"覃海洋", "游泳队", "13999990000"},
    {"张三", "甲公司", "13800001111"},
    {"张三", "乙公司", "13900002222"},
    {"张三丰", "武当", ""},
    {"李四", "丙公司", "13700003333"},
    {"赵五", "", "0755-2233"},
    {"O'Brien & Co.", "Dublin", "353"},
    {"王小明（北京）", "王", "13311114444"},
    {"曾国藩", "湘军", ""},
    {"  ", "空名", "1"},
    // Case beyond ASCII: folded letters, letters folded alike, a character outside the BMP.
    {"Straße", "ΣΟΦΙΑ", "ext A"},
    {"strasse", "σοφίας", "ext b"},
    {"İzmir Ｑｕｏ", "\u212Aelvin", ""},
    {"𠮷野家", "", "13612345678"},
};

std::shared_ptr<const AddressEntries> makeEntries(const QList<Row>& rows) {
    auto entries = std::make_shared<AddressEntries>();
    qint64 key = 100;
    for (const Row& row : rows) entries->append(key++, row.name, row.detail, row.phone);
    entries->finish();
    return entries;
}

// The plain search, entry by entry and with no shortcut: what the pickers must keep.
std::vector<int> plainSearch(const QList<Row>& rows, const QString& typed) {
    std::vector<int> kept;
    const auto offered = [&](int i) { return !rows.at(i).name.trimmed().isEmpty(); };
    if (typed.size() == 1 && typed.front().unicode() < 128 && typed.front().isLetterOrNumber()) {
        for (int i = 0; i < rows.size(); ++i)
            if (offered(i) && NameInitial(rows.at(i).name) == typed.front().toUpper())
                kept.push_back(i);
        if (kept.empty())
            for (int i = 0; i < rows.size(); ++i)
                if (offered(i)) kept.push_back(i);
        return kept;
    }
    for (int i = 0; i < rows.size(); ++i) {
        const Row& row = rows.at(i);
        if (offered(i) && (row.name.contains(typed, Qt::CaseInsensitive) ||
                           row.detail.contains(typed, Qt::CaseInsensitive) ||
                           row.phone.contains(typed, Qt::CaseInsensitive) ||
                           SpellsPartOf(typed.toLower(), row.name)))
            kept.push_back(i);
    }
    return kept;
}

const QStringList kTyped{
    "z",     "Z",    "s",     "x",        "o",    "y",    "q",        "1",    "3",
    "a",     "A",    "9",     "zs",       "ZS",   "zsan", "zhangsan", "san",  "zsf",
    "shanx", "xiej", "oujia", "yann",     "qinh", "zgf",  "zeng",     "anna", "ANNA L",
    "acme",  "lee",  "1380",  "2222",     "0755", "-555", "甲",       "张",   "张三",
    "三丰",  "公司", "北京",  "（北京）", "o'b",  "& co", "dublin",   "wang", "wxm",
    "mingm", "明",   "3m",    "3M中",     "空",   "q1",   "zz",       "  ",   "'",
    "ß",     "SS",   "sse",   "σοφια",    "ΣΟΦ",  "ς",    "ext a",    "EXT",  "izm",
    "İz",    "ｑｕ", "ＱＵＯ", "kelvin",   "𠮷",   "𠮷野", "野家",     "xj",   "zg",
    "三甲",  "司1390", "（北京）王",  // across the end of one text into the next: none
};

std::vector<int> inOrder(const ShownEntries& shown) {
    std::vector<int> order;
    for (int i = 0; i < shown.size(); ++i) order.push_back(shown.at(i));
    return order;
}

QStringList entriesOf(const QComboBox* picker) {
    QStringList entries;
    for (int i = 0; i < picker->count(); ++i) entries << picker->itemText(i);
    return entries;
}

// Many customers with company names, enough that reading them takes a while.
QList<Customer> manyCustomers(int count) {
    const QString surnames = QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗");
    QList<Customer> customers;
    customers.reserve(count);
    for (int i = 0; i < count; ++i)
        customers << Customer{surnames.at(i % surnames.size()) + QStringLiteral("氏%1公司").arg(i),
                              QString::number(13000000000LL + i), "", "", ""};
    return customers;
}

}  // namespace

class TestPickerScale : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> fx;

    QComboBox* customerPicker() { return fx->form().cbbCustomerNames; }

    void type(const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Press, fx->form().windowHandle(), keyTyping(c), QString(c),
                                Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, fx->form().windowHandle(), keyTyping(c), QString(c),
                                Qt::NoModifier);
        }
    }
    void backspace() { QTest::keyClick(fx->form().windowHandle(), Qt::Key_Backspace); }
    void escape() {
        QTest::keyClick(fx->form().windowHandle(), Qt::Key_Escape);
        QTRY_VERIFY(!customerPicker()->view()->isVisible());
    }

    TEXPDPrintForm& startWithCustomers(const QList<Customer>& customers) {
        fx = std::make_unique<MainWindowFixture>();
        withConnection(bookPath(fx->folders.dataFolder()),
                       [&](QSqlDatabase& db) { insertCustomers(db, customers); });
        TEXPDPrintForm& form = fx->start();
        customerPicker()->setFocus();
        return form;
    }

  private slots:
    void initTestCase() { QGuiApplication::styleHints()->setMouseDoubleClickInterval(50); }
    void cleanup() {
        fx.reset();
        SenderNameList.clear();
        CustomerNameList.clear();
    }

    void theSearchKeepsWhatThePlainSearchKeeps() {
        AddressSearch search;
        search.setEntries(makeEntries(kRows));
        for (const QString& typed : kTyped) {
            QCOMPARE(*search.matching(typed), plainSearch(kRows, typed));
        }
    }

    void aSearchOfManyEntriesSharedOutAmongTheCoresKeepsWhatThePlainSearchKeeps() {
        // Enough entries that the search is split into stretches, with matches at the seams.
        const QString surnames = QStringLiteral("张王李单解区曾闫覃");
        const QString given = QStringLiteral("三丰明伟芳国易安");
        QList<Row> rows;
        for (int i = 0; i < 50000; ++i)
            rows << Row{QString(surnames.at(i % surnames.size())) + given.at(i / 7 % given.size()) +
                            (i % 5 == 0 ? QStringLiteral("Anna%1").arg(i) : QString::number(i)),
                        i % 3 ? QStringLiteral("贸易公司") : QStringLiteral("ACME"),
                        QString::number(13800000000LL + i * 7)};
        AddressSearch search;
        search.setEntries(makeEntries(rows));
        for (const QString typed : {"zs", "ya", "shanm", "anna1", "ANNA2", "易公", "139", "0007"}) {
            const std::vector<int> expected = plainSearch(rows, typed);
            QVERIFY2(expected.size() > 1, qPrintable(typed));
            QCOMPARE(*search.matching(typed), expected);
            QCOMPARE(*search.narrowed(search.matching(typed.left(2)), typed.left(2), typed),
                     expected);
        }
    }

    void typingOnAndTakingBackAgreeWithASearchAfresh() {
        AddressSearch search;
        search.setEntries(makeEntries(kRows));
        for (const QString& typed : kTyped) {
            for (qsizetype before = 1; before < typed.size(); ++before) {
                const QString shorter = typed.left(before);
                const AddressSearch::SharedFound narrowed =
                    search.narrowed(search.matching(shorter), shorter, typed);
                QVERIFY2(*narrowed == *search.matching(typed),
                         qPrintable(shorter + " then " + typed));
            }
        }
    }

    void recentlyPickedComeFirstAndKeepTheirPlaceAcrossARefill() {
        AddressSearch search;
        search.setEntries(makeEntries(kRows));
        const AddressSearch::SharedFound zs = search.matching("zs");  // 张三, 张三, 张三丰
        QCOMPARE(*zs, (std::vector<int>{9, 10, 11}));
        search.notePicked(11);
        search.notePicked(10);
        QCOMPARE(inOrder(search.inShowingOrder(zs)), (std::vector<int>{10, 11, 9}));
        // A refill with one row more before them: the same rows (by key) still come first.
        QList<Row> more = kRows;
        more.prepend({"0号", "", ""});
        auto entries = std::make_shared<AddressEntries>();
        entries->append(99, more.at(0).name, u"", u"");
        for (int i = 1; i < more.size(); ++i)
            entries->append(100 + i - 1, more.at(i).name, more.at(i).detail, more.at(i).phone);
        entries->finish();
        search.setEntries(entries);
        QCOMPARE(inOrder(search.inShowingOrder(search.matching("zs"))),
                 (std::vector<int>{11, 12, 10}));
    }

    void typingInThePickerShowsWhatTheSearchFinds() {
        QList<Customer> customers;
        for (const Row& row : kRows) customers << Customer{row.name, row.phone, "", row.detail, ""};
        startWithCustomers(customers);
        // What the picker shows for a text, typed from a closed list.
        auto shownFor = [&](const QString& typed) {
            QStringList labels{""};
            for (int i : plainSearch(kRows, typed)) {
                const int sameName =
                    int(std::count_if(kRows.begin(), kRows.end(),
                                      [&](const Row& r) { return r.name == kRows.at(i).name; }));
                labels << (sameName > 1 ? kRows.at(i).name + "（" + kRows.at(i).detail + " …" +
                                              kRows.at(i).phone.right(4) + "）"
                                        : kRows.at(i).name);
            }
            labels.sort();
            return labels;
        };
        auto shown = [&] {
            QStringList labels = entriesOf(customerPicker());
            labels.sort();
            return labels;
        };
        type("zsa");
        QCOMPARE(shown(), shownFor("zsa"));
        backspace();
        QCOMPARE(shown(), shownFor("zs"));
        backspace();
        QCOMPARE(shown(), shownFor("z"));
        type("hangsan");
        QCOMPARE(shown(), shownFor("zhangsan"));
        escape();
        type("1380");
        QCOMPARE(shown(), shownFor("1380"));
        escape();
    }

    void aKeyTypedBeforeTheEntriesArriveNarrowsThemWhenTheyDo() {
        const QList<Customer> customers = manyCustomers(40000);
        fx = std::make_unique<MainWindowFixture>();
        withConnection(bookPath(fx->folders.dataFolder()),
                       [&](QSqlDatabase& db) { insertCustomers(db, customers); });
        auto form = std::make_unique<TEXPDPrintForm>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        AddressPickers& pickers = *form->addressPickers;
        QComboBox* picker = form->cbbCustomerNames;
        picker->setFocus();
        // Keys as the picker or its open list receives them, with no event handled between.
        for (const QString& text :
             {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("9")}) {
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QObject* target = picker->view()->isVisible()
                                      ? static_cast<QObject*>(picker->view())
                                      : static_cast<QObject*>(picker);
                QKeyEvent key(type, Qt::Key_0 + text.toInt(), Qt::NoModifier, text);
                QCoreApplication::sendEvent(target, &key);
            }
        }
        QVERIFY2(pickers.isFilling(), "the entries arrived before the keys: no test");
        QCOMPARE(picker->count(), 1);  // nothing to show yet but the empty entry
        QVERIFY(waitForPickerFill(pickers));
        // "129": the telephones 13000000129, 130000001290 .. 1299x, 13000012900 ..
        QStringList expected{""};
        for (int i = 0; i < customers.size(); ++i)
            if (customers.at(i).phone.toString().contains("129"))
                expected << customers.at(i).name.toString();
        QStringList shown = entriesOf(picker);
        QVERIFY(picker->view()->isVisible());
        QCOMPARE(shown.size(), expected.size());
        shown.sort();
        expected.sort();
        QCOMPARE(shown, expected);
        QCOMPARE(CustomerNameList.size(), customers.size());
    }

    void aVeryLongListTakesItsRowsAsItIsScrolledToTheEnd() {
        const int count = AddressPickerModel::kRowsAtOnce + 5000;
        const QList<Customer> customers = manyCustomers(count);
        startWithCustomers(customers);
        QVERIFY(waitForPickerFill(*fx->form().addressPickers));
        type("1");  // no name starts with it: every entry
        QComboBox* picker = customerPicker();
        QAbstractItemView* list = picker->view();
        QVERIFY(list->isVisible());
        QCOMPARE(picker->count(), AddressPickerModel::kRowsAtOnce + 1);
        // The first key only enters the list (its first row); End goes to the last row taken,
        // which takes the rest; End again reaches the very last entry.
        QTest::keyClick(fx->form().windowHandle(), Qt::Key_Down);
        QTest::keyClick(fx->form().windowHandle(), Qt::Key_End);
        QTRY_COMPARE(picker->count(), count + 1);
        QTest::keyClick(fx->form().windowHandle(), Qt::Key_End);
        QCOMPARE(list->currentIndex().row(), count);
        QVERIFY(list->viewport()->rect().contains(list->visualRect(list->currentIndex())));
        // Chosen, it fills the fields from its own row.
        const QString chosen = list->currentIndex().data().toString();
        QTest::keyClick(fx->form().windowHandle(), Qt::Key_Return);
        QCOMPARE(fx->form().field("cbb55")->text(), chosen);
        const auto row = std::find_if(customers.begin(), customers.end(),
                                      [&](const Customer& c) { return c.name == chosen; });
        QVERIFY(row != customers.end());
        QCOMPARE(fx->form().field("cbb44")->text(), row->phone.toString());
    }

    void closingTheWindowWhileTheEntriesAreReadEndsTheReading() {
        const QList<Customer> customers = manyCustomers(40000);
        fx = std::make_unique<MainWindowFixture>();
        withConnection(bookPath(fx->folders.dataFolder()),
                       [&](QSqlDatabase& db) { insertCustomers(db, customers); });
        QElapsedTimer reading;
        reading.start();
        auto form = std::make_unique<TEXPDPrintForm>();
        form->show();
        QVERIFY(form->addressPickers->isFilling());
        form.reset();
        // Nothing is delivered afterwards to what is gone; the program goes on normally.
        QTest::qWait(10);
        QVERIFY(CustomerNameList.isEmpty());
        QVERIFY(fx->boxes.shown.isEmpty());
        // Started again, it reads the whole book.
        TEXPDPrintForm& again = fx->start();
        QCOMPARE(again.cbbCustomerNames->count(), customers.size());
    }
};

QTEST_MAIN(TestPickerScale)
#include "tst_pickerscale.moc"
