// The keyboard on the main window's sender picker, as a person at the counter uses it: typed keys
// open and filter the list but never choose a name; the open list shows the filtered names from
// the top, sized to them.
#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>
#include <QStyleHints>
#include <QtTest>

#include "AddressBookTestData.h"
#include "addressbook/AddressNameLists.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "support/MainWindowFixture.h"

using namespace testdata;

namespace {

QStringList senderFieldTexts(TEXPDPrintForm& form) {
    QStringList texts;
    for (const char* name : {"cbb1", "cbb2", "cbb3", "cbb4", "cbb5"})
        texts << form.field(QString::fromLatin1(name))->text();
    return texts;
}

QStringList entriesOf(const QComboBox* picker) {
    QStringList entries;
    for (int i = 0; i < picker->count(); ++i) entries << picker->itemText(i);
    return entries;
}

// A sender whose five fields read back as {name, origin, address, phone, company}.
Sender senderNamed(const QString& name) {
    return {name + "公司", name + "电话", name + "地址", name, name + "始发"};
}

QStringList fieldsOf(const QString& name) {
    return {name, name + "始发", name + "地址", name + "电话", name + "公司"};
}

}  // namespace

// Ends the test function at the first failed check of the open list.
#define VERIFY_LIST_SHOWS_ENTRIES_FROM_THE_TOP() \
    do {                                         \
        verifyListShowsEntriesFromTheTop();      \
        if (QTest::currentTestFailed()) return;  \
    } while (false)

class TestPickerKeys : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> fx;

    TEXPDPrintForm& start(const QStringList& senderNames) {
        QList<Sender> senders;
        for (const QString& name : senderNames) senders << senderNamed(name);
        return start(senders);
    }

    TEXPDPrintForm& start(const QList<Sender>& senders) {
        fx = std::make_unique<MainWindowFixture>();
        withConnection(bookPath(fx->folders.dataFolder()),
                       [&](QSqlDatabase& db) { insertSenders(db, senders); });
        return fx->start();
    }

    QComboBox* picker() { return fx->form().cbbSendNames; }
    QWindow* window() { return fx->form().windowHandle(); }

    // Opens the picker's list with a click and clicks the entry with the given text.
    void clickEntry(const QString& text) {
        const int row = picker()->findText(text);
        QVERIFY2(row >= 0, qPrintable("no entry " + text));
        clickListEntry(picker(), row);
    }

    // Presses and releases one key on whatever has the keyboard: the picker, or its open list.
    void type(Qt::Key key, const QString& text) {
        QTest::sendKeyEvent(QTest::Press, window(), key, text, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, window(), key, text, Qt::NoModifier);
    }

    void escape() {
        QTest::keyClick(window(), Qt::Key_Escape);
        QTRY_VERIFY(!picker()->view()->isVisible());
    }

    // The open list shows its entries from the first one, every entry when there are at most
    // ten, and is no taller than the entries it shows.
    void verifyListShowsEntriesFromTheTop() {
        QAbstractItemView* view = picker()->view();
        QVERIFY(view->isVisible());
        const int shown = qMin(picker()->count(), picker()->maxVisibleItems());
        const int rowHeight = view->visualRect(view->model()->index(0, 0)).height();
        QVERIFY(rowHeight > 0);
        QCOMPARE(view->verticalScrollBar()->value(), 0);
        QCOMPARE(view->visualRect(view->model()->index(0, 0)).top(), 0);
        const int lastShownBottom = view->visualRect(view->model()->index(shown - 1, 0)).bottom();
        QVERIFY2(lastShownBottom < view->viewport()->height(),
                 qPrintable(QString("%1 rows do not fit a list %2 px high")
                                .arg(shown)
                                .arg(view->viewport()->height())));
        QVERIFY2(view->viewport()->height() < (shown + 1) * rowHeight,
                 qPrintable(QString("a list %1 px high for %2 rows of %3 px")
                                .arg(view->viewport()->height())
                                .arg(shown)
                                .arg(rowHeight)));
    }

  private slots:
    void initTestCase() { QGuiApplication::styleHints()->setMouseDoubleClickInterval(50); }
    void cleanup() {
        fx.reset();
        SenderNameList.clear();
        CustomerNameList.clear();
    }

    void aTypedKeyAfterAChoiceChoosesNothing_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("entriesAfter");  // empty: the entries stay as they are
        QTest::newRow("latin letter")
            << int(Qt::Key_J) << "j" << QStringList{"", "江华", "John Smith"};
        QTest::newRow("digit") << int(Qt::Key_1) << "1" << QStringList{"", "123物流"};
        // Committed text of an input method, as some deliver it: one key event per character.
        QTest::newRow("chinese character") << 0x5F20 << "张" << QStringList{"", "张三"};
    }
    void aTypedKeyAfterAChoiceChoosesNothing() {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(QStringList, entriesAfter);
        TEXPDPrintForm& form = start({"John Smith", "123物流", "张三", "李四", "江华"});
        const QStringList all = entriesOf(picker());
        QCOMPARE(all.size(), 5);
        clickEntry("李四");
        QCOMPARE(senderFieldTexts(form), fieldsOf("李四"));
        QVERIFY(picker()->hasFocus());
        QVERIFY(!picker()->view()->isVisible());

        type(Qt::Key(key), text);
        QVERIFY(picker()->view()->isVisible());  // typing opens the list
        QCOMPARE(entriesOf(picker()), entriesAfter.isEmpty() ? all : entriesAfter);
        QCOMPARE(senderFieldTexts(form), fieldsOf("李四"));
        escape();
        QCOMPARE(senderFieldTexts(form), fieldsOf("李四"));
        QVERIFY(fx->boxes.shown.isEmpty());
    }

    // Types `text` into the picker, one key event per character, as a user does: the first
    // character opens the list, the others narrow it.
    void typeText(const QString& text) {
        for (const QChar c : text) type(keyTyping(c), QString(c));
    }

    void equalNamesAreToldApartAndEachFillsItsOwnRow() {
        TEXPDPrintForm& form = start(QList<Sender>{
            {"甲公司", "13800001111", "甲地址", "张三", "北京"},
            {"乙公司", "13900002222", "乙地址", "张三", "上海"},
            {"丙公司", "13700003333", "丙地址", "李四", "广州"},
        });
        const QString first = QStringLiteral("张三（甲公司 …1111）");
        const QString second = QStringLiteral("张三（乙公司 …2222）");
        QStringList shown = entriesOf(picker());
        shown.sort();
        QCOMPARE(shown, (QStringList{second, first, "李四"}));  // by code point
        clickEntry(second);
        QCOMPARE(senderFieldTexts(form),
                 (QStringList{"张三", "上海", "乙地址", "13900002222", "乙公司"}));
        clickEntry(first);
        QCOMPARE(senderFieldTexts(form),
                 (QStringList{"张三", "北京", "甲地址", "13800001111", "甲公司"}));
        // The most recently picked comes first.
        typeText("zs");
        QCOMPARE(entriesOf(picker()), (QStringList{"", first, second}));
        escape();
        clickEntry(second);
        typeText("zs");
        QCOMPARE(entriesOf(picker()), (QStringList{"", second, first}));
        escape();
    }

    void theOpenListShowsWhatTellsEqualNamesApartInFull() {
        start(QList<Sender>{
            {"北京大华国际物流有限公司", "13800001111", "甲地址", "张三", "北京"},
            {"上海永兴国际货运代理有限公司", "13900002222", "乙地址", "张三", "上海"},
            {"丙公司", "13700003333", "丙地址", "李四", "广州"},
        });
        picker()->setFocus();
        QTRY_VERIFY(picker()->hasFocus());
        typeText("zs");
        QAbstractItemView* view = picker()->view();
        QTRY_VERIFY(view->isVisible());
        QCOMPARE(picker()->count(), 3);
        for (int row = 1; row < 3; ++row) {
            const QString label = picker()->itemText(row);
            QVERIFY2(label.endsWith(row == 1 ? "…1111）" : "…2222）"), qPrintable(label));
            const int needed = view->fontMetrics().horizontalAdvance(label);
            const int shown = view->viewport()->width();
            QVERIFY2(needed < shown, qPrintable(QString("%1 needs %2 px, the list shows %3 px")
                                                    .arg(label)
                                                    .arg(needed)
                                                    .arg(shown)));
        }
        escape();
    }

    void typingNarrowsByPinyinNamePartCompanyOrPhone_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("initials") << "zs" << QStringList{"", "张三"};
        QTest::newRow("initial and syllable") << "zsan" << QStringList{"", "张三"};
        QTest::newRow("second syllable") << "san" << QStringList{"", "张三"};
        QTest::newRow("phone fragment") << "0042" << QStringList{"", "孙武"};
        QTest::newRow("company") << "kd" << QStringList{"", "李四"};
        QTest::newRow("name part") << "四" << QStringList{"", "李四"};
        QTest::newRow("no match") << "qqq" << QStringList{""};
    }
    void typingNarrowsByPinyinNamePartCompanyOrPhone() {
        QFETCH(QString, typed);
        QFETCH(QStringList, entries);
        TEXPDPrintForm& form = start(QList<Sender>{
            {"甲公司", "13800001111", "甲地址", "张三", "北京"},
            {"kd物流", "13900002222", "乙地址", "李四", "上海"},
            {"丙公司", "13700420000", "丙地址", "孙武", "广州"},
        });
        const QStringList before = senderFieldTexts(form);
        const QStringList all = entriesOf(picker());
        QCOMPARE(all.size(), 3);
        picker()->setFocus();
        QTRY_VERIFY(picker()->hasFocus());
        typeText(typed);
        QVERIFY(picker()->view()->isVisible());
        QCOMPARE(entriesOf(picker()), entries);
        QCOMPARE(senderFieldTexts(form), before);  // typing chooses nothing
        // Taking the typed text back shows every entry again.
        for (int i = 0; i < typed.size(); ++i) type(Qt::Key_Backspace, QString());
        QCOMPARE(entriesOf(picker()), QStringList{""} + all);
        escape();
    }

    void everyNameIsFoundUnderItsLetter_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("闫") << "y" << QStringList{"", "闫明"};
        QTest::newRow("覃 read as a surname") << "q" << QStringList{"", "覃芳"};
        QTest::newRow("滕") << "t" << QStringList{"", "滕飞"};
        QTest::newRow("单 read as a surname") << "s" << QStringList{"", "单雄"};
        QTest::newRow("缪 read as a surname") << "m" << QStringList{"", "缪斯"};
        QTest::newRow("褚") << "c" << QStringList{"", "褚英"};
        QTest::newRow("解 read as a surname") << "x" << QStringList{"", "解放"};
        QTest::newRow("查 read as a surname") << "z" << QStringList{"", "查理"};
        QTest::newRow("区 read as a surname") << "o" << QStringList{"", "区华"};
        QTest::newRow("latin") << "j" << QStringList{"", "John Smith"};
        QTest::newRow("digit") << "7" << QStringList{"", "7天物流"};
    }
    void everyNameIsFoundUnderItsLetter() {
        QFETCH(QString, typed);
        QFETCH(QStringList, entries);
        start({"7天物流", "John Smith", "单雄", "滕飞", "覃芳", "闫明", "缪斯", "褚英", "解放",
               "查理", "区华"});
        picker()->setFocus();
        QTRY_VERIFY(picker()->hasFocus());
        typeText(typed);
        QCOMPARE(entriesOf(picker()), entries);
        escape();
    }

    void theCustomerPickerNarrowsByCompanyPersonOrPhone_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("company fragment") << "顺丰" << QStringList{"", "深圳顺丰速运"};
        QTest::newRow("company initials") << "bjdh" << QStringList{"", "北京大华公司"};
        QTest::newRow("receiving person") << "王芳" << QStringList{"", "北京大华公司"};
        QTest::newRow("phone fragment") << "8866" << QStringList{"", "深圳顺丰速运"};
        QTest::newRow("one letter") << "s" << QStringList{"", "上海永兴", "深圳顺丰速运"};
    }
    void theCustomerPickerNarrowsByCompanyPersonOrPhone() {
        QFETCH(QString, typed);
        QFETCH(QStringList, entries);
        fx = std::make_unique<MainWindowFixture>();
        withConnection(bookPath(fx->folders.dataFolder()), [&](QSqlDatabase& db) {
            insertCustomers(db, {{"北京大华公司", "01012345678", "长安街1号", "王芳", "北京"},
                                 {"深圳顺丰速运", "075588661234", "深南路2号", "李明", "深圳"},
                                 {"上海永兴", "02100000000", "南京路3号", "赵强", "上海"}});
        });
        TEXPDPrintForm& form = fx->start();
        QComboBox* customers = form.cbbCustomerNames;
        clickListEntry(customers, customers->findText(QStringLiteral("上海永兴")));
        QTRY_VERIFY(customers->hasFocus());
        typeText(typed);
        QCOMPARE(entriesOf(customers), entries);
        // Choosing the last entry fills the five recipient fields from its row.
        for (int i = 0; i < entries.size(); ++i) QTest::keyClick(window(), Qt::Key_Down);
        QCOMPARE(customers->view()->currentIndex().data().toString(), entries.last());
        QTest::keyClick(window(), Qt::Key_Return);
        QTRY_VERIFY(!customers->view()->isVisible());
        const QString chosen = entries.last();
        const QStringList expected =
            chosen == QStringLiteral("北京大华公司")
                ? QStringList{"王芳", "北京", "长安街1号", "01012345678", "北京大华公司"}
                : QStringList{"李明", "深圳", "深南路2号", "075588661234", "深圳顺丰速运"};
        QStringList fields;
        for (const char* name : {"cbb11", "cbb22", "cbb33", "cbb44", "cbb55"})
            fields << form.field(QString::fromLatin1(name))->text();
        QCOMPARE(fields, expected);
    }

    void aSenderWithoutAPersonIsNoEntry() {
        start(QList<Sender>{{"甲公司", "1", "甲地址", "", "北京"}, senderNamed("李四")});
        QCOMPARE(entriesOf(picker()), QStringList{"李四"});
    }

    void aTypedKeyAfterEscapeChoosesNothingAndEnterChooses() {
        TEXPDPrintForm& form = start({"John Smith", "123物流", "张三", "江华"});
        clickEntry("张三");
        type(Qt::Key_Z, "z");
        escape();
        QCOMPARE(senderFieldTexts(form), fieldsOf("张三"));
        type(Qt::Key_J, "j");
        QCOMPARE(entriesOf(picker()), (QStringList{"", "江华", "John Smith"}));
        type(Qt::Key_H, "h");
        QCOMPARE(entriesOf(picker()), (QStringList{"", "江华"}));
        type(Qt::Key_1, "1");
        QCOMPARE(senderFieldTexts(form), fieldsOf("张三"));
        type(Qt::Key_Backspace, QString());
        QCOMPARE(entriesOf(picker()), (QStringList{"", "江华"}));
        // A real choice on the open list: down to 江华, Enter.
        QAbstractItemView* view = picker()->view();
        QTest::keyClick(window(), Qt::Key_Down);
        QTest::keyClick(window(), Qt::Key_Down);
        QCOMPARE(view->currentIndex().data().toString(), QStringLiteral("江华"));
        QTest::keyClick(window(), Qt::Key_Return);
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(senderFieldTexts(form), fieldsOf("江华"));
        // The empty top entry, chosen, empties the fields so that their captions show again.
        type(Qt::Key_J, "j");
        QTest::keyClick(window(), Qt::Key_Up);
        QCOMPARE(view->currentIndex().row(), 0);
        QTest::keyClick(window(), Qt::Key_Return);
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(senderFieldTexts(form), QStringList(5, QString()));
    }

    void theFilteredListIsSizedToItsEntries() {
        start({"欧阳", "张三", "赵五", "周七", "李四", "王二"});
        clickEntry("王二");
        type(Qt::Key_O, "o");
        QCOMPARE(entriesOf(picker()), (QStringList{"", "欧阳"}));
        VERIFY_LIST_SHOWS_ENTRIES_FROM_THE_TOP();
        escape();
        type(Qt::Key_Z, "z");
        QCOMPARE(picker()->count(), 4);
        VERIFY_LIST_SHOWS_ENTRIES_FROM_THE_TOP();
        // With the list open, a further letter that finds fewer names shrinks it again.
        type(Qt::Key_S, "s");
        QCOMPARE(picker()->count(), 2);
        VERIFY_LIST_SHOWS_ENTRIES_FROM_THE_TOP();
        // No match: the empty entry alone.
        type(Qt::Key_B, "b");
        QCOMPARE(picker()->count(), 1);
        VERIFY_LIST_SHOWS_ENTRIES_FROM_THE_TOP();
        escape();
    }

    void theFilteredListStartsAtItsTopAfterTheLastEntryWasChosen() {
        QStringList names;
        for (const char* given :
             {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十", "冬", "春", "夏", "秋"}) {
            names << QStringLiteral("李") + QString::fromUtf8(given);
            names << QStringLiteral("张") + QString::fromUtf8(given);
        }
        start(names);
        const QString last = picker()->itemText(picker()->count() - 1);
        QVERIFY(last.startsWith(QStringLiteral("张")));
        clickEntry(last);
        type(Qt::Key_L, "l");
        QCOMPARE(picker()->count(), 15);
        QCOMPARE(picker()->itemText(1).left(1), QStringLiteral("李"));
        VERIFY_LIST_SHOWS_ENTRIES_FROM_THE_TOP();
        escape();
        QCOMPARE(senderFieldTexts(fx->form()), fieldsOf(last));
    }
};

QTEST_MAIN(TestPickerKeys)
#include "tst_pickerkeys.moc"
