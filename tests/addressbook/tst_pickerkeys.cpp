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
        fx = std::make_unique<MainWindowFixture>();
        QList<Sender> senders;
        for (const QString& name : senderNames) senders << senderNamed(name);
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
        QTest::newRow("latin letter") << int(Qt::Key_J) << "j" << QStringList{"", "江华"};
        QTest::newRow("digit") << int(Qt::Key_1) << "1" << QStringList{};
        // Committed text of an input method, as some deliver it: one key event per character.
        QTest::newRow("chinese character") << 0x5F20 << "张" << QStringList{};
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

    void aTypedKeyAfterEscapeChoosesNothingAndEnterChooses() {
        TEXPDPrintForm& form = start({"John Smith", "123物流", "张三", "江华"});
        clickEntry("张三");
        type(Qt::Key_Z, "z");
        escape();
        QCOMPARE(senderFieldTexts(form), fieldsOf("张三"));
        type(Qt::Key_J, "j");
        QCOMPARE(entriesOf(picker()), (QStringList{"", "江华"}));
        type(Qt::Key_1, "1");
        QCOMPARE(senderFieldTexts(form), fieldsOf("张三"));
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
        // With the list open, a letter that finds fewer names shrinks it again.
        type(Qt::Key_O, "o");
        QCOMPARE(picker()->count(), 2);
        VERIFY_LIST_SHOWS_ENTRIES_FROM_THE_TOP();
        // No match: every name, after the empty entry.
        type(Qt::Key_B, "b");
        QCOMPARE(picker()->count(), 7);
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
