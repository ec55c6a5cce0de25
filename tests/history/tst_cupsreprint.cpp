#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "history/TPrintHistoryForm.h"
#include "printing/engine/TReportPage.h"
#include "support/CupsPdf.h"
#include "support/MainWindowFixture.h"

// A reprint from the history through the real printing system: the cups-pdf queue "PDF" must
// get pages identical to those of the first prints.

namespace {

bool cupsReady() {
    PrinterBackend::install(nullptr);  // the real printers
    return PrinterBackend::instance().printerNames().contains("PDF") &&
           !QStandardPaths::findExecutable("pdftoppm").isEmpty();
}

void click(QWidget* widget) {
    QWidget* top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(top, widget->rect().center()));
}

}  // namespace

class TestCupsReprint : public QObject {
    Q_OBJECT
  private slots:
    void aReprintPrintsThePagesThatWerePrinted() {
        if (!cupsReady()) QSKIP("the cups-pdf queue PDF is not set up (scripts/start-cups.sh)");
        MainWindowFixture fx({}, {});
        PrinterBackend::install(nullptr);
        fx.writeSettings("[龙邦快递]\r\nPrinterName=PDF\r\n");
        TEXPDPrintForm& form = fx.start();
        chooseItem(form.cbbNames, "龙邦快递");
        chooseItem(form.cbbPrinterName, "PDF");
        // A title of its own for each job: the PDFs are told apart by it.
        const QString stem =
            QStringLiteral("quorvel_reprint_%1_").arg(QDateTime::currentMSecsSinceEpoch());
        const auto titleFor = [&](const char* job) {
            form.ReportPage1->setReportTitle(stem + job);
            return stem + job;
        };
        form.ReportPage1->setShowProgress(false);

        const QList<WaybillTexts> waybills{
            {{"cbb1", "王发货"},
             {"cbb11", "张三"},
             {"cbb44", "13800138000"},
             {"cbb33", "北京市海淀区中关村大街一号院三号楼五单元二零一室"}},
            {{"cbb1", "李发货"},
             {"cbb11", "李四"},
             {"cbb22", "深圳"},
             {"cbb55", "某某科技有限公司"}}};
        QStringList singles;
        for (const WaybillTexts& texts : waybills) {
            for (WaybillField* f : form.bandFields()) f->setText(texts.value(f->objectName()));
            const QString title = titleFor(singles.isEmpty() ? "first" : "second");
            const QDateTime since = QDateTime::currentDateTime();
            click(form.btnPrint);
            QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
            singles << CupsPdf::waitForPdf(title, since);
            QVERIFY(!singles.last().isEmpty());
        }
        for (WaybillField* f : form.bandFields()) f->setText(QString());

        click(form.btnHistory);
        auto* window = form.findChild<TPrintHistoryForm*>();
        QVERIFY(window && QTest::qWaitForWindowExposed(window));
        click(window->grdHistory->viewport());
        QTest::keyClick(window->grdHistory, Qt::Key_A, Qt::ControlModifier);
        const QString title = titleFor("reprint");
        const QDateTime since = QDateTime::currentDateTime();
        click(window->btnReprint);
        QVERIFY2(fx.boxes.shown.isEmpty(), qPrintable(fx.boxes.texts().join("|")));
        const QString reprint = CupsPdf::waitForPdf(title, since);
        QVERIFY(!reprint.isEmpty());
        QCOMPARE(CupsPdf::pageCount(reprint), 2);
        // Newest first: page 1 is the second single print, page 2 the first.
        for (int page = 1; page <= 2; ++page) {
            const QImage printed = CupsPdf::renderPage(singles[2 - page], 1);
            const QImage reprinted = CupsPdf::renderPage(reprint, page);
            QVERIFY(!printed.isNull() && !reprinted.isNull());
            QVERIFY(!CupsPdf::inkBox(printed).isEmpty());
            QCOMPARE(reprinted.size(), printed.size());
            QCOMPARE(CupsPdf::inkBox(reprinted), CupsPdf::inkBox(printed));
            QVERIFY2(reprinted == printed, qPrintable(QString("page %1 differs").arg(page)));
        }
        for (const QString& pdf : singles + QStringList{reprint}) QFile::remove(pdf);
    }
};

QTEST_MAIN(TestCupsReprint)
#include "tst_cupsreprint.moc"
