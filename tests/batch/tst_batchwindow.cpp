#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include "../addressbook/AddressBookTestData.h"
#include "../dialogs/ModalDriver.h"
#include "batch/BatchPrintDialog.h"
#include "batch/ListFiles.h"
#include "batch/ProgramRun.h"
#include "batch/WaybillPages.h"
#include "engine/OneItemPage.h"
#include "platform/AppError.h"
#include "printing/TEXPDPreview.h"
#include "printing/engine/TReportJob.h"
#include "printing/engine/TReportPage.h"
#include "printing/engine/TReportPreview.h"
#include "support/MainWindowFixture.h"
#include "template/ProfileFile.h"
#include "waybill/TemplateSetFile.h"

// "批量打印" on the main window, driven as a person drives it.
class TestBatchWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeList(const QString& name, const QByteArray& bytes) {
        return listfiles::write(m_dir, name, bytes);
    }

    // Opens the batch dialog from the main window, lets it open `list` through "打开…", and
    // runs `drive` in it; fails the test when the driver did not run to its end.
    static void inBatchDialog(TEXPDPrintForm& form, const QString& list,
                              const std::function<void(BatchPrintDialog&)>& drive) {
        auto done = driveNextModal<BatchPrintDialog>([list, drive](BatchPrintDialog& dialog) {
            dialog.chooseFile = [list](QWidget*) { return list; };
            QTest::mouseClick(dialog.btnOpen, Qt::LeftButton);
            drive(dialog);
            if (dialog.isVisible()) QTest::mouseClick(dialog.btnClose, Qt::LeftButton);
        });
        QTest::mouseClick(form.btnBatch, Qt::LeftButton);
        QVERIFY(*done);
    }

    // A shop's list with quotes, commas and line breaks inside its cells.
    static QString quotedRows(int rows) {
        QString csv = QStringLiteral("收货人,电话,地址,目的地,单位,发货人\r\n");
        for (int k = 1; k <= rows; ++k)
            csv += QStringLiteral(
                       "\"张\"\"小\"\"%1\",138%2,\"北京市海淀区,中关村大街%1号\r\n"
                       "三号楼\",北京,\"某某公司,第%1部\",李四\r\n")
                       .arg(k)
                       .arg(k, 8, 10, QLatin1Char('0'));
        return csv;
    }

    // Keeps a picture of the window for a person to look at, when QUORVEL_SCREENSHOTS names a
    // folder (run the test under Xvfb with QT_QPA_PLATFORM=xcb for the real look).
    static void keepScreenshot(QWidget& window, const QString& name) {
        const QString folder = qEnvironmentVariable("QUORVEL_SCREENSHOTS");
        if (!folder.isEmpty()) window.grab().save(QDir(folder).filePath(name + ".png"));
    }

    static QColor rowColour(const BatchPrintDialog& dialog, int row) {
        return dialog.tblRows->item(row, 0)->foreground().color();
    }

    static QStringList drawnTexts(const RecordingPrinterBackend::Page& page) {
        QStringList texts;
        for (const auto& text : page.texts) texts << text.text;
        return texts;
    }

    static bool cupsReady() {
        PrinterBackend::install(nullptr);
        return PrinterBackend::instance().printerNames().contains("PDF") &&
               !QStandardPaths::findExecutable("pdftoppm").isEmpty();
    }

  private slots:
    // Columns guessed from the header and changed by hand, red rows skipped and counted, the
    // sender from the address book, the choice remembered for the header.
    void columnsRowsAndSenderAsChosen() {
        MainWindowFixture fx;
        QVERIFY(QFile::remove(testdata::bookPath(fx.folders.dataFolder())));
        testdata::makeBook(fx.folders.dataFolder(),
                           {{"杭州小店", "0571-88000000", "文三路1号", "李寄件", "杭州"}});
        TEXPDPrintForm& form = fx.start();
        const QString list =
            writeList("shop.csv", QStringLiteral("订单号,收件人,手机,详细地址,备注\n"
                                                 "A1,张三,13800000001,北京市海淀区,易碎\n"
                                                 "A2,李四,13800000002,,\n"
                                                 "A3,王五,13800000003,上海市浦东新区,\n"
                                                 "A4,,13800000004,广州市天河区,加急\n"
                                                 "A5,赵六,13800000005,深圳市南山区,\n")
                                      .toUtf8());
        inBatchDialog(form, list, [&](BatchPrintDialog& dialog) {
            QCOMPARE(dialog.tblRows->rowCount(), 5);
            QCOMPARE(dialog.tblRows->verticalHeaderItem(0)->text(), QString("2"));
            QCOMPARE(dialog.fieldColumns[5]->currentText(), QString("收件人"));
            QCOMPARE(dialog.fieldColumns[8]->currentText(), QString("手机"));
            QCOMPARE(dialog.fieldColumns[7]->currentText(), QString("详细地址"));
            QCOMPARE(dialog.fieldColumns[9]->currentText(), QString("（不打印）"));
            QCOMPARE(dialog.selectedRows(), (QList<int>{0, 1, 2, 3, 4}));
            QVERIFY(rowColour(dialog, 1) != rowColour(dialog, 0));
            QCOMPARE(rowColour(dialog, 3), rowColour(dialog, 1));
            QCOMPARE(rowColour(dialog, 4), rowColour(dialog, 0));
            // Marked where a selected row shows it too, with the reason.
            QCOMPARE(dialog.tblRows->verticalHeaderItem(1)->text(), QString("× 3"));
            QCOMPARE(dialog.tblRows->verticalHeaderItem(1)->toolTip(), QString("缺少收货地址"));
            QCOMPARE(dialog.tblRows->verticalHeaderItem(2)->text(), QString("4"));
            QVERIFY2(dialog.lblCount->text().contains(QStringLiteral("其中 2 行")),
                     qPrintable(dialog.lblCount->text()));

            // The note into the company field; the address no longer mapped turns every row red.
            chooseItem(dialog.fieldColumns[9], QStringLiteral("备注"));
            chooseItem(dialog.fieldColumns[7], QStringLiteral("（不打印）"));
            QCOMPARE(rowColour(dialog, 0), rowColour(dialog, 1));
            chooseItem(dialog.fieldColumns[7], QStringLiteral("详细地址"));
            chooseItem(dialog.cbbSender, QStringLiteral("李寄件"));
            QVERIFY(!dialog.fieldColumns[0]->isEnabled());
            keepScreenshot(dialog, "batch-window");

            QTest::mouseClick(dialog.btnPrint, Qt::LeftButton);
        });
        QCOMPARE(fx.printers.documents.size(), 1);
        const auto& job = fx.printers.documents[0];
        QCOMPARE(job.printer, QString("Office Laser"));
        QCOMPARE(job.pages.size(), 3);
        const QStringList first = drawnTexts(job.pages[0]);
        for (const char* text : {"张三", "13800000001", "易碎", "李寄件", "杭州小店", "文三路1号"})
            QVERIFY2(first.join(' ').contains(QString::fromUtf8(text)), text);
        QVERIFY(drawnTexts(job.pages[2]).join(' ').contains(QStringLiteral("赵六")));
        // What was printed and what was skipped, by row number.
        const QString report = fx.boxes.texts().join('\n');
        QVERIFY2(report.contains(QStringLiteral("已打印 3 张快递单：第 2、4、6 行")),
                 qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("跳过 2 行")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("第 3、5 行")), qPrintable(report));
        // The choice stays with the header.
        QCOMPARE(fx.value("BatchColumns", "备注"), QString("cbb55"));
        QCOMPARE(fx.value("BatchColumns", "订单号"), QString("-"));
        QCOMPARE(fx.value("BatchColumns", "收件人"), QString("cbb11"));
    }

    // A cancel after two pages: the report names the rows printed and offers the rest, which
    // then print as a job of their own. A printer that fails prints nothing, and says so.
    void afterACancelOrAFailureTheRestCanBePrinted() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QString csv = QStringLiteral("收货人,地址\n");
        for (int k = 1; k <= 6; ++k) csv += QStringLiteral("收件人%1,地址%1\n").arg(k);
        const QString list = writeList("six.csv", csv.toUtf8());
        QString offered;
        fx.boxes.onConfirm = [&] {
            offered = fx.boxes.shown.last().text;
            return MessageBoxes::Answer::Ok;
        };
        inBatchDialog(form, list, [&](BatchPrintDialog& dialog) {
            // "取消" once the bar shows two pages of the first job.
            QObject::connect(dialog.progress, &QProgressBar::valueChanged, &dialog, [&](int drawn) {
                if (fx.printers.documents.size() == 1 && drawn == 2)
                    QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
            });
            QTest::mouseClick(dialog.btnPrint, Qt::LeftButton);
            QCOMPARE(dialog.progress->value(), 4);  // the second job's four pages
            QCOMPARE(dialog.selectedRows(), (QList<int>{2, 3, 4, 5}));
        });
        QVERIFY2(offered.contains(QStringLiteral("已打印 2 张快递单：第 2–3 行")),
                 qPrintable(offered));
        QVERIFY2(offered.contains(QStringLiteral("从第 4 行起")), qPrintable(offered));
        QCOMPARE(fx.printers.documents.size(), 2);
        QCOMPARE(fx.printers.documents[0].pages.size(), 2);
        QCOMPARE(fx.printers.documents[1].pages.size(), 4);
        QVERIFY(drawnTexts(fx.printers.documents[1].pages[0]).contains(QStringLiteral("收件人3")));

        // The printer fails on its second page: the document is aborted, nothing printed.
        fx.boxes.clear();
        fx.printers.onNewPage = [](const RecordingPrinterBackend::Document& document) {
            if (document.pages.size() == 2) throw AppError("Printer Office Laser is jammed");
        };
        fx.boxes.onConfirm = [&] {
            offered = fx.boxes.shown.last().text;
            return MessageBoxes::Answer::Cancel;
        };
        inBatchDialog(form, list, [](BatchPrintDialog& dialog) {
            QTest::mouseClick(dialog.btnPrint, Qt::LeftButton);
        });
        QVERIFY2(offered.contains(QStringLiteral("没有打印任何快递单")), qPrintable(offered));
        QVERIFY2(offered.contains(QStringLiteral("jammed")), qPrintable(offered));
        QVERIFY2(offered.contains(QStringLiteral("从第 2 行起重新打印其余 6 张")),
                 qPrintable(offered));
        QCOMPARE(fx.printers.documents.size(), 3);
        QVERIFY(fx.printers.documents[2].aborted);
    }

    // "预览" shows the first selected row that prints, composed as the print composes it.
    void previewShowsTheFirstRowThatPrints() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        const QString list = writeList(
            "preview.csv",
            QStringLiteral("收货人,地址\n,北京\n王五,上海市浦东新区\n赵六,广州\n").toUtf8());
        std::vector<TPagePicture::TextBlock> shown;
        QSizeF paper;
        inBatchDialog(form, list, [&](BatchPrintDialog& dialog) {
            QTimer poll;
            poll.setInterval(5);
            QObject::connect(&poll, &QTimer::timeout, [&] {
                TReportJob* job =
                    ActivePreview ? ActivePreview->ReportPreview1->reportJob() : nullptr;
                if (!job || job->status() != TJobStatus::mpFinished) return;
                poll.stop();
                QCOMPARE(job->pageCount(), 1);
                shown = job->pagePicture(1)->texts();
                paper = job->pagePicture(1)->paperSize();
                QVERIFY(ActivePreview->isVisible());
                ActivePreview->close();
            });
            poll.start();
            QTest::mouseClick(dialog.btnPreview, Qt::LeftButton);
            QVERIFY(!ActivePreview);
        });
        QCOMPARE(paper, QSizeF(2300, 1280));
        // The name lies where the composition puts cbb11, 1 mm in from the paper's corner.
        const WaybillTexts texts{{"cbb11", "王五"}, {"cbb33", "上海市浦东新区"}};
        const QList<WaybillPrintItem> items = composeWaybill(form.layoutOnScreen(), texts);
        const auto name = std::find_if(shown.begin(), shown.end(), [](const auto& block) {
            return block.lines.value(0) == QStringLiteral("王五");
        });
        QVERIFY(name != shown.end());
        const auto item = std::find_if(items.begin(), items.end(), [](const WaybillPrintItem& i) {
            return i.caption == QStringLiteral("王五");
        });
        QCOMPARE(name->topLeft, QPointF(10 + item->left, 10 + item->top));
        QVERIFY(fx.printers.documents.isEmpty());
    }

    // An unreadable file is named, the dialog stays usable; the encoding switch re-reads.
    void unreadableFilesAndTheEncodingSwitch() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        const QString list = writeList(
            "gbk.csv", listfiles::gbk(QStringLiteral("收货人,地址\n张三,北京市海淀区\n")));
        inBatchDialog(form, list, [&](BatchPrintDialog& dialog) {
            QVERIFY2(dialog.lblFile->text().contains("GBK"), qPrintable(dialog.lblFile->text()));
            QCOMPARE(dialog.tblRows->item(0, 1)->text(), QString("北京市海淀区"));
            chooseItem(dialog.cbbEncoding, "UTF-8");
            QVERIFY(dialog.tblRows->item(0, 1)->text() != QString("北京市海淀区"));
            chooseItem(dialog.cbbEncoding, "GBK");
            QCOMPARE(dialog.tblRows->item(0, 1)->text(), QString("北京市海淀区"));
            // No header: the first line is an order too.
            clickBox(dialog.chkHeader);
            QCOMPARE(dialog.tblRows->rowCount(), 2);

            dialog.chooseFile = [this](QWidget*) { return m_dir.filePath("absent.csv"); };
            QTest::mouseClick(dialog.btnOpen, Qt::LeftButton);
            QCOMPARE(dialog.tblRows->rowCount(), 0);
            QVERIFY(!dialog.btnPrint->isEnabled());
        });
        QVERIFY(fx.boxes.texts().join('\n').contains("absent.csv"));
    }

    // The window's pages, drawn on a recording printer, are single prints of their rows.
    void eachPageIsASinglePrintOfItsRow() {
        MainWindowFixture fx;
        fx.writeSettings(QStringLiteral("[龙邦快递]\r\ncbb33Left=470\r\nPrintOffsetY=15\r\n"));
        TEXPDPrintForm& form = fx.start();
        form.ReportPage1->setShowProgress(false);
        const QString list = writeList("quoted.csv", listfiles::gbk(quotedRows(3)));
        inBatchDialog(form, list, [&](BatchPrintDialog& dialog) {
            QTest::mouseClick(dialog.btnPrint, Qt::LeftButton);
        });
        QCOMPARE(fx.printers.documents.size(), 1);
        const auto job = fx.printers.documents[0];
        QCOMPARE(job.pages.size(), 3);
        const OrderList orders = readOrderList(list);
        const ColumnMapping mapping =
            ColumnMapping::forHeader(orders.header, orders.columnCount, nullptr);
        for (int k = 0; k < 3; ++k) {
            showTexts(form, mapping.textsOf(orders.rows[k].cells));
            QTest::mouseClick(form.btnPrint, Qt::LeftButton);
            compareDrawnPages(job.pages[k], fx.printers.documents.last().pages[0]);
        }
    }

    // Through the real printing system: a GBK list of 200 rows with quotes, commas and line
    // breaks inside its cells prints as one job of 200 pages; its first, middle and last pages
    // lie within 0.1 mm of single prints of their rows, and the command line prints the same
    // pages.
    void twoHundredRowsOnTheCupsQueueMatchSinglePrintsAndTheCommandLine() {
        if (!cupsReady()) QSKIP("No CUPS printer \"PDF\" or no pdftoppm");
        const QString settings =
            QStringLiteral("[龙邦快递]\r\nPrinterName=PDF\r\ncbb33Left=470\r\nPrintOffsetY=15\r\n");
        // On the platform's own screen, which the command line runs on too: the page engine
        // breaks a long text into lines at the screen's resolution.
        MainWindowFixture fx({}, {}, 0.0);
        PrinterBackend::install(nullptr);
        fx.writeSettings(settings);
        TEXPDPrintForm& form = fx.start();
        form.ReportPage1->setShowProgress(false);

        QString csv = QStringLiteral("收货人,电话,地址,目的地,单位,发货人\r\n");
        for (int k = 1; k <= 200; ++k)
            csv += QStringLiteral(
                       "\"张\"\"小\"\"%1\",138%2,\"北京市海淀区,中关村大街%1号\r\n"
                       "三号楼\",北京,\"某某公司,第%1部\",李四\r\n")
                       .arg(k)
                       .arg(k, 8, 10, QLatin1Char('0'));
        const QString stem = QStringLiteral("orders_%1").arg(QDateTime::currentMSecsSinceEpoch());
        const QString list = writeList(stem + ".csv", listfiles::gbk(csv));

        QDateTime since = QDateTime::currentDateTime();
        inBatchDialog(form, list, [&](BatchPrintDialog& dialog) {
            QVERIFY2(dialog.lblFile->text().contains("GBK"), qPrintable(dialog.lblFile->text()));
            QCOMPARE(dialog.tblRows->rowCount(), 200);
            QTest::mouseClick(dialog.btnPrint, Qt::LeftButton);
            QCOMPARE(dialog.progress->value(), 200);
        });
        // cups-pdf names its file after the title with the blanks changed: look for the stem.
        const QString windowPdf = waitForWholePdf(stem, since, 200);
        QVERIFY2(!windowPdf.isEmpty(), "cups-pdf wrote no PDF of 200 pages for the window's job");
        const QString kept = m_dir.filePath("window.pdf");
        QVERIFY(QFile::copy(windowPdf, kept));
        QFile::remove(windowPdf);

        const WaybillTemplate layout = form.layoutOnScreen();
        const OrderList orders = readOrderList(list);
        const ColumnMapping mapping =
            ColumnMapping::forHeader(orders.header, orders.columnCount, nullptr);
        for (int k : {0, 99, 199}) {
            const WaybillTexts texts = mapping.textsOf(orders.rows[k].cells);
            QCOMPARE(texts.value("cbb11"), QStringLiteral("张\"小\"%1").arg(k + 1));
            showTexts(form, texts);
            const QString singleTitle = QStringLiteral("%1_single%2").arg(stem).arg(k);
            form.ReportPage1->setReportTitle(singleTitle);
            const QDateTime singleSince = QDateTime::currentDateTime();
            QTest::mouseClick(form.btnPrint, Qt::LeftButton);
            const QString single = waitForWholePdf(singleTitle, singleSince, 1);
            QVERIFY2(!single.isEmpty(), "cups-pdf wrote no PDF for the single print");
            const QString differences =
                differingItems(CupsPdf::renderPage(kept, k + 1), CupsPdf::renderPage(single, 1),
                               itemAreas(layout, texts));
            QFile::remove(single);
            QVERIFY2(differences.isEmpty(),
                     qPrintable(QStringLiteral("page %1: %2").arg(k + 1).arg(differences)));
        }

        // The command line, on a copy of the program with the same settings.
        ProgramFolder program;
        QVERIFY(program.isReady());
        program.writeFile("Quorvel.ini", settings.toUtf8());
        since = QDateTime::currentDateTime();
        const ProgramFolder::Run run = program.run({"--batch", list, "--courier", "龙邦快递"});
        QCOMPARE(run.exitCode, 0);
        const QString commandPdf = waitForWholePdf(stem, since, 200);
        QVERIFY2(!commandPdf.isEmpty(), "cups-pdf wrote no PDF of 200 pages for the command");
        const auto removeCommandPdf = qScopeGuard([&] { QFile::remove(commandPdf); });
        for (int k : {0, 99, 199}) {
            const QString differences = differingItems(
                CupsPdf::renderPage(commandPdf, k + 1), CupsPdf::renderPage(kept, k + 1),
                itemAreas(layout, mapping.textsOf(orders.rows[k].cells)));
            QVERIFY2(differences.isEmpty(),
                     qPrintable(QStringLiteral("page %1: %2").arg(k + 1).arg(differences)));
        }
    }
};

QTEST_MAIN(TestBatchWindow)
#include "tst_batchwindow.moc"
