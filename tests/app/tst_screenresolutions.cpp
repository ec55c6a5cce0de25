// What a person reads on screens of 96 and of 120 pixels per inch: the font pickers' entries and
// the address-book editor's grid. Qt fixes its logical resolution at start, so this test runs
// itself once per resolution, each time in a fresh process.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QtTest>

#include "addressbook/AddressGrid.h"
#include "addressbook/AddressNameLists.h"
#include "addressbook/TCusAddForm.h"
#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"
#include "platform/ScreenScale.h"
#include "support/MainWindowFixture.h"

namespace {

const char* const kDpiVariable = "QUORVEL_TEST_SCREEN_DPI";

double screenDpiOfThisRun() {
    return qEnvironmentVariableIntValue(kDpiVariable);
}

// Every entry of an open list is shown whole: the list is at least as wide as the entry
// needs (text and the list's own margins).
void verifyEveryEntryFitsTheOpenList(QComboBox* picker) {
    QVERIFY(picker->count() > 0);
    picker->showPopup();
    QAbstractItemView* view = picker->view();
    QTRY_VERIFY(view->isVisible());
    const int room = view->viewport()->width();
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.font = view->font();
    for (int row = 0; row < picker->count(); ++row) {
        const QModelIndex index = view->model()->index(row, picker->modelColumn());
        const int needed = view->itemDelegate()->sizeHint(option, index).width();
        QVERIFY2(needed <= room, qPrintable(QString("\"%1\" needs %2 px, the list has %3")
                                                .arg(picker->itemText(row))
                                                .arg(needed)
                                                .arg(room)));
    }
    picker->hidePopup();
}

// The closed picker shows every entry's text whole in its text field.
void verifyEveryEntryFitsTheClosedPicker(QComboBox* picker) {
    QStyleOptionComboBox option;
    option.initFrom(picker);
    option.editable = picker->isEditable();
    option.frame = picker->hasFrame();
    const QRect field = picker->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                        QStyle::SC_ComboBoxEditField, picker);
    const QFontMetrics metrics(picker->font());
    for (int row = 0; row < picker->count(); ++row) {
        const QString text = picker->itemText(row);
        QVERIFY2(metrics.horizontalAdvance(text) <= field.width(),
                 qPrintable(QString("\"%1\" needs %2 px, the field has %3")
                                .arg(text)
                                .arg(metrics.horizontalAdvance(text))
                                .arg(field.width())));
    }
}

}  // namespace

class TestScreenResolutions : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), screenDpiOfThisRun());
    }
    void cleanup() {
        SenderNameList.clear();
        CustomerNameList.clear();
    }

    void everyFontSizeIsReadableOpenAndClosed() {
        MainWindowFixture fx({"PDF"}, "PDF", screenDpiOfThisRun());
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbfontSize->geometry(), QRect(345, 6, 43, 21));
        verifyEveryEntryFitsTheOpenList(form.cbbfontSize);
        verifyEveryEntryFitsTheClosedPicker(form.cbbfontSize);
    }

    void everyFontFaceIsReadableInTheOpenList() {
        MainWindowFixture fx({"PDF"}, "PDF", screenDpiOfThisRun());
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.cbbTextfontname->geometry(), QRect(256, 6, 83, 21));
        verifyEveryEntryFitsTheOpenList(form.cbbTextfontname);
    }

    void theAddressEditorFollowsTheScreen() {
        MainWindowFixture fx({"PDF"}, "PDF", screenDpiOfThisRun());
        TEXPDPrintForm& form = fx.start();
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            TCusAddForm* editor = CusAddForm;
            QVERIFY(editor);
            const auto closeEditor = qScopeGuard([&] { editor->reject(); });
            // Nothing of the lower strip is cut off by the dialog's edge.
            for (QWidget* w :
                 {static_cast<QWidget*>(editor->edtMDD), static_cast<QWidget*>(editor->BtnKHDele)})
                QVERIFY(editor->rect().contains(w->mapTo(editor, w->rect().bottomRight())));
            // The grid shows three whole rows, as laid out at 96 pixels per inch: the rows'
            // height and the room for them grow together.
            AddressGrid* grid = editor->DBGrid2;
            const int rowHeight = grid->verticalHeader()->defaultSectionSize();
            const int rowsShown = grid->viewport()->height() / rowHeight;
            QVERIFY2(rowsShown >= 3, qPrintable(QString("%1 rows of %2 px in %3 px")
                                                    .arg(rowsShown)
                                                    .arg(rowHeight)
                                                    .arg(grid->viewport()->height())));
            QCOMPARE(editor->size(), QSize(scaledToScreen(436), scaledToScreen(338)));
            seen = true;
        });
        QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {},
                          form.Button2->mapTo(&form, form.Button2->rect().center()));
        QVERIFY(seen);
    }
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty(kDpiVariable)) {
        // Once per resolution, each in its own process.
        QCoreApplication launcher(argc, argv);
        int failures = 0;
        for (const char* dpi : {"96", "120"}) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(kDpiVariable, dpi);
            env.insert("QT_FONT_DPI", dpi);
            env.insert("QT_ENABLE_HIGHDPI_SCALING", "0");
            QProcess run;
            run.setProcessEnvironment(env);
            run.setProcessChannelMode(QProcess::ForwardedChannels);
            run.start(QCoreApplication::applicationFilePath(), launcher.arguments().mid(1));
            run.waitForFinished(-1);
            if (run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0) ++failures;
        }
        return failures;
    }
    QApplication app(argc, argv);
    TestScreenResolutions test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screenresolutions.moc"
