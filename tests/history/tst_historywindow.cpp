#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include "../dialogs/ModalDriver.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "batch/BatchPrintDialog.h"
#include "history/HistoryTableModel.h"
#include "history/PrintHistory.h"
#include "history/TPrintHistoryForm.h"
#include "printing/PreviewDriver.h"
#include "support/MainWindowFixture.h"

namespace {

QList<HistoryEntry> recorded() {
    return PrintHistory(PrintHistory::defaultFilePath()).entries({}, 1000);
}

void click(QWidget* widget) {
    QWidget* top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(top, widget->rect().center()));
}

// Types text as a keyboard (or an input method committing characters one at a time) does.
void type(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

QStringList listedNames(TPrintHistoryForm& window) {
    QStringList names;
    for (int row = 0; row < window.model()->rowCount(); ++row)
        names << window.model()->entry(row).texts.value("cbb11");
    return names;
}

void fill(TEXPDPrintForm& form, const WaybillTexts& texts) {
    for (auto it = texts.begin(); it != texts.end(); ++it)
        form.field(it.key())->setText(it.value());
}

// What a page holds: each text with where it starts on the device.
QStringList pageTexts(const RecordingPrinterBackend::Page& page) {
    QStringList texts;
    for (const auto& text : page.texts)
        if (!text.text.isEmpty())
            texts << QString("%1 @ %2,%3")
                         .arg(text.text)
                         .arg(text.baseline.x())
                         .arg(text.baseline.y());
    texts.sort();
    return texts;
}

TPrintHistoryForm* openHistory(TEXPDPrintForm& form) {
    click(form.btnHistory);
    auto* window = form.findChild<TPrintHistoryForm*>();
    if (window && !QTest::qWaitForWindowExposed(window)) return nullptr;
    return window;
}

}  // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT
  private slots:
    void aSinglePrintRecordsWhatWentOnPaper() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        fill(form,
             {{"cbb1", "王发货"}, {"cbb11", "张三"}, {"cbb44", "13800138000"}, {"cbb3", "隐藏"}});
        form.field("cbb3")->hide();
        chooseItem(form.cbbPrinterName, "Dot Matrix");
        click(form.btnPrint);
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        QCOMPARE(fx.printers.documents.size(), 1);
        const QList<HistoryEntry> entries = recorded();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].texts,
                 (WaybillTexts{{"cbb1", "王发货"}, {"cbb11", "张三"}, {"cbb44", "13800138000"}}));
        QCOMPARE(entries[0].printer, QString("Dot Matrix"));
        QCOMPARE(entries[0].courier, form.currentTemplate());
        QCOMPARE(entries[0].origin, QString("打印"));
        QCOMPARE(entries[0].jobPages, 1);
        QVERIFY(qAbs(entries[0].printedAt.secsTo(QDateTime::currentDateTimeUtc())) < 60);
        click(form.btnPrint);
        QCOMPARE(recorded().size(), 2);
    }

    void aFailedPrintRecordsNothingAndAnUnwritableHistoryIsSaidButPrints() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        fill(form, {{"cbb11", "张三"}});
        fx.printers.printers[0].failOnStart = true;
        click(form.btnPrint);
        QCOMPARE(fx.boxes.shown.size(), 1);
        QCOMPARE(fx.boxes.shown[0].icon, MessageBoxes::Icon::Error);
        QVERIFY(recorded().isEmpty());

        fx.printers.printers[0].failOnStart = false;
        fx.boxes.clear();
        QFile::remove(PrintHistory::defaultFilePath());
        QVERIFY(QDir(fx.folders.dataFolder()).mkdir("QuorvelHistory.db"));  // in the way
        click(form.btnPrint);
        QCOMPARE(fx.printers.documents.last().pages.size(), 1);
        QVERIFY(fx.printers.documents.last().ended);
        QCOMPARE(fx.boxes.shown.size(), 1);
        QCOMPARE(fx.boxes.shown[0].icon, MessageBoxes::Icon::Warning);
        QVERIFY2(fx.boxes.shown[0].text.startsWith("快递单已送往打印机，但未能记入打印记录。"),
                 qPrintable(fx.boxes.shown[0].text));
    }

    void eachPrintFromThePreviewRecordsTheComposedPage() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        fill(form, {{"cbb11", "李四"}, {"cbb33", "深圳市南山区"}});
        const bool ran = runInPreview(form, [&](TEXPDPreview& preview) {
            QVERIFY(recorded().isEmpty());  // a preview alone prints nothing
            // Typed after the page was composed: not on this page.
            form.field("cbb11")->setText("改了");
            click(preview.spprint);
            click(preview.spprint);
        });
        QVERIFY(ran);
        QCOMPARE(fx.printers.documents.size(), 2);
        const QList<HistoryEntry> entries = recorded();
        QCOMPARE(entries.size(), 2);
        for (const HistoryEntry& e : entries) {
            QCOMPARE(e.texts, (WaybillTexts{{"cbb11", "李四"}, {"cbb33", "深圳市南山区"}}));
            QCOMPARE(e.origin, QString("预览打印"));
            QCOMPARE(e.printer, QString("Office Laser"));
        }
        QVERIFY(entries[0].job != entries[1].job);
    }

    void aBatchFromTheBatchWindowIsOneJobOfThePagesPrinted() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        const QString list = QDir(fx.folders.workingFolder()).filePath("orders.csv");
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("收货人,电话,地址\n张三,13800138000,北京市海淀区\n李四,2,\n"
                                  "王五,13912345678,上海市浦东新区\n")
                       .toUtf8());
        file.close();
        auto done = driveNextModal<BatchPrintDialog>([&](BatchPrintDialog& dialog) {
            dialog.chooseFile = [&](QWidget*) { return list; };
            click(dialog.btnOpen);
            click(dialog.btnPrint);
            if (dialog.isVisible()) click(dialog.btnClose);
        });
        click(form.btnBatch);
        QVERIFY(*done);
        QCOMPARE(fx.printers.documents.size(), 1);
        QCOMPARE(fx.printers.documents[0].pages.size(), 2);
        const QList<HistoryEntry> entries = recorded();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].job, entries[1].job);
        QCOMPARE(
            entries[1].texts,
            (WaybillTexts{{"cbb11", "张三"}, {"cbb44", "13800138000"}, {"cbb33", "北京市海淀区"}}));
        QCOMPARE(entries[0].texts.value("cbb11"), QString("王五"));
        QCOMPARE(entries[0].origin, QString("批量打印"));
        QCOMPARE(entries[0].printer, QString("Office Laser"));
        QCOMPARE(entries[0].courier, form.currentTemplate());
    }

    void searchesByNamePhoneAddressAndDatesWithTheKeyboard() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        {
            PrintHistory history(PrintHistory::defaultFilePath());
            const auto at = [](int day) {
                return QDateTime(QDate(2026, 3, day), QTime(9, 0)).toUTC();
            };
            history.recordJob(
                {at(1),
                 "顺丰快递",
                 "Office Laser",
                 "打印",
                 {{{"cbb11", "张三"}, {"cbb44", "13800138000"}, {"cbb33", "北京市海淀区"}}}});
            history.recordJob(
                {at(3),
                 "顺丰快递",
                 "Office Laser",
                 "批量打印",
                 {{{"cbb11", "李四"}, {"cbb44", "0755-26001234"}, {"cbb33", "深圳市南山区"}},
                  {{"cbb11", "王五"}, {"cbb44", "13912345678"}, {"cbb33", "北京市朝阳区"}}}});
        }
        TPrintHistoryForm* window = openHistory(form);
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QString("打印记录"));
        QCOMPARE(listedNames(*window), (QStringList{"王五", "李四", "张三"}));
        QCOMPARE(window->lblCount->text(), QString("共 3 条"));

        click(window->edtSearch);
        QTest::keyClicks(window->edtSearch, "0013");
        QTest::keyClick(window->edtSearch, Qt::Key_Return);
        QCOMPARE(listedNames(*window), QStringList{"张三"});

        QTest::keyClick(window->edtSearch, Qt::Key_A, Qt::ControlModifier);
        type(window->edtSearch, "北京");
        // Typing alone searches, after a pause.
        QTRY_COMPARE(listedNames(*window), (QStringList{"王五", "张三"}));

        QTest::keyClick(window->edtSearch, Qt::Key_A, Qt::ControlModifier);
        type(window->edtSearch, "李四");
        QTest::keyClick(window->edtSearch, Qt::Key_Enter);
        QCOMPARE(listedNames(*window), QStringList{"李四"});

        QTest::keyClick(window->edtSearch, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(window->edtSearch, Qt::Key_Delete);
        QTest::keyClick(window->edtSearch, Qt::Key_Return);
        QCOMPARE(listedNames(*window).size(), 3);

        // The date range: from 2 to 3 March.
        click(window->chkDate);
        QVERIFY(window->dtFrom->isEnabled());
        for (auto [edit, date] :
             {std::pair{window->dtFrom, "2026-03-02"}, {window->dtTo, "2026-03-03"}}) {
            click(edit);
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, date);
            QTest::keyClick(edit, Qt::Key_Return);
        }
        QCOMPARE(window->dtFrom->date(), QDate(2026, 3, 2));
        QCOMPARE(window->dtTo->date(), QDate(2026, 3, 3));
        QCOMPARE(listedNames(*window), (QStringList{"王五", "李四"}));
        click(window->edtSearch);
        type(window->edtSearch, "北京");
        QTest::keyClick(window->edtSearch, Qt::Key_Return);
        QCOMPARE(listedNames(*window), QStringList{"王五"});
        click(window->chkDate);
        QCOMPARE(listedNames(*window), (QStringList{"王五", "张三"}));
        QCOMPARE(window->lblCount->text(), QString("共 2 条"));
        // One window at a time.
        click(form.btnHistory);
        QCOMPARE(form.findChildren<TPrintHistoryForm*>().size(), 1);
    }

    void aReprintPrintsTheSelectedWaybillsAsOneJobOnThePrinterShown() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        fill(form, {{"cbb1", "王发货"},
                    {"cbb11", "张三"},
                    {"cbb33", "北京市海淀区中关村大街一号院三号楼五单元"}});
        click(form.btnPrint);
        fill(form, {{"cbb1", ""},
                    {"cbb11", "李四"},
                    {"cbb33", "深圳市南山区"},
                    {"cbb44", "0755-26001234"}});
        click(form.btnPrint);
        QCOMPARE(fx.printers.documents.size(), 2);
        fill(form, {{"cbb11", "别的"}, {"cbb33", ""}, {"cbb44", ""}});
        chooseItem(form.cbbPrinterName, "Dot Matrix");

        TPrintHistoryForm* window = openHistory(form);
        QVERIFY(window);
        click(window->grdHistory->viewport());
        QTest::keyClick(window->grdHistory, Qt::Key_A, Qt::ControlModifier);
        click(window->btnReprint);
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        QCOMPARE(fx.printers.documents.size(), 3);
        const auto& reprint = fx.printers.documents[2];
        QCOMPARE(reprint.printer, QString("Dot Matrix"));
        QVERIFY(reprint.ended);
        // Listed newest first, printed in the order listed; each page as its first print was.
        QCOMPARE(reprint.pages.size(), 2);
        QCOMPARE(pageTexts(reprint.pages[0]), pageTexts(fx.printers.documents[1].pages[0]));
        QCOMPARE(pageTexts(reprint.pages[1]), pageTexts(fx.printers.documents[0].pages[0]));
        QVERIFY(!pageTexts(reprint.pages[1]).filter("张三 @").isEmpty());

        // The reprint is itself recorded, as one job, and listed at the top.
        const QList<HistoryEntry> entries = recorded();
        QCOMPARE(entries.size(), 4);
        QCOMPARE(entries[0].job, entries[1].job);
        QCOMPARE(entries[0].jobPages, 2);
        QCOMPARE(entries[0].printer, QString("Dot Matrix"));
        QCOMPARE(entries[0].origin, QString("重新打印"));
        QCOMPARE(entries[1].texts.value("cbb11"), QString("李四"));
        QCOMPARE(entries[0].texts.value("cbb11"), QString("张三"));
        QCOMPARE(window->model()->matchCount(), 4);

        // Nothing selected: nothing printed, the user is told.
        window->grdHistory->clearSelection();
        click(window->btnReprint);
        QCOMPARE(fx.printers.documents.size(), 3);
        QCOMPARE(fx.boxes.texts(), QStringList{"请先选择要重新打印的记录。"});
    }

    void exportsTheSelectedRowsOrEveryMatchAsCsv() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        {
            PrintHistory history(PrintHistory::defaultFilePath());
            QList<WaybillTexts> many;
            for (int i = 0; i < 450; ++i)
                many << WaybillTexts{{"cbb11", QString("客户%1").arg(i)}, {"cbb33", "a,\"b\"\nc"}};
            history.recordJob(
                {QDateTime::currentDateTimeUtc(), "顺丰快递", "PDF", "批量打印", many});
        }
        TPrintHistoryForm* window = openHistory(form);
        QVERIFY(window);
        // Only the first page of rows is read until the list is scrolled.
        QCOMPARE(window->model()->rowCount(), HistoryTableModel::kPageRows);
        const QString path = QDir(fx.folders.workingFolder()).filePath("导出.csv");
        window->askExportPath = [&](QWidget*) { return path; };
        click(window->btnExport);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray all = file.readAll();
        QVERIFY(all.startsWith("\xEF\xBB\xBF\"时间\",\"快递\""));
        QCOMPARE(all.count("\r\n"), 451);  // the header and every row, not only those read
        QVERIFY(all.contains("\"客户0\",\"\",\"a,\"\"b\"\"\nc\""));
        QCOMPARE(fx.boxes.texts().last(), "已导出 450 条记录到 " + QDir::toNativeSeparators(path));
        file.close();

        // Two rows picked with the mouse (click, then ctrl-click).
        QTableView* grid = window->grdHistory;
        const auto clickRow = [&](int row, Qt::KeyboardModifiers modifiers) {
            const QRect cell = grid->visualRect(grid->model()->index(row, 3));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, cell.center());
        };
        clickRow(2, Qt::NoModifier);
        clickRow(4, Qt::ControlModifier);
        click(window->btnExport);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[1].contains("\"客户447\""), qPrintable(lines[1]));
        QVERIFY2(lines[2].contains("\"客户445\""), qPrintable(lines[2]));
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
