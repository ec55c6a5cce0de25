#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "printing/PreviewDriver.h"
#include "printing/engine/TReportPreview.h"
#include "support/MainWindowFixture.h"

class TestPreviewWindow : public QObject {
    Q_OBJECT
  private slots:
    void opensFittedWithThePercentBoxHiddenAndPrintFocused() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QVERIFY(runInPreview(form, [&](TEXPDPreview& preview) {
            QCOMPARE(preview.windowTitle(), QString("预览窗口"));
            QCOMPARE(preview.ReportPreview1->zoomState(), TZoomState::rzZoomToFit);
            QVERIFY(preview.person1->isHidden());
            QCOMPARE(QApplication::focusWidget(), preview.spprint);
            // Enter right away prints, since "打印" holds the focus.
            QTest::keyClick(preview.spprint, Qt::Key_Return);
            QCOMPARE(fx.printers.documents.size(), 1);
        }));
    }

    void zoomButtonsAndThePercentBox() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QVERIFY(runInPreview(form, [&](TEXPDPreview& preview) {
            QTest::mouseClick(preview.btn2, Qt::LeftButton);
            QCOMPARE(preview.ReportPreview1->zoom(), 100);
            QTest::mouseClick(preview.btn3, Qt::LeftButton);
            QCOMPARE(preview.ReportPreview1->zoomState(), TZoomState::rzZoomToWidth);

            QTest::mouseClick(preview.btn4, Qt::LeftButton);
            QVERIFY(preview.btn4->isChecked());
            QVERIFY(!preview.person1->isHidden());
            QCOMPARE(preview.person1->currentText(), QString("100%"));
            QCOMPARE(preview.ReportPreview1->zoom(), 100);

            QLineEdit* box = preview.person1->lineEdit();
            box->setFocus();
            box->selectAll();
            QTest::keyClick(box, Qt::Key_3);
            QCOMPARE(preview.ReportPreview1->zoom(), 3);
            QTest::keyClick(box, Qt::Key_5);
            QCOMPARE(preview.ReportPreview1->zoom(), 35);
            box->selectAll();
            QTest::keyClick(box, Qt::Key_1);
            QCOMPARE(preview.ReportPreview1->zoom(), 35);  // 1 % is refused
            QTest::keyClick(box, Qt::Key_A);
            QCOMPARE(box->text(), QString("1"));
            QCOMPARE(fx.boxes.beeps, 1);
            QTest::keyClick(box, Qt::Key_Percent);
            QCOMPARE(box->text(), QString("1%"));

            box->selectAll();
            QTest::keyClicks(box, "200%");
            QCOMPARE(preview.ReportPreview1->zoom(), 200);
            QTest::mouseClick(preview.btn1, Qt::LeftButton);
            QCOMPARE(preview.ReportPreview1->zoomState(), TZoomState::rzZoomToFit);
            QVERIFY(!preview.person1->isHidden());  // the toggle is still down
            // Releasing the toggle hides the box and applies its percentage once more.
            QTest::mouseClick(preview.btn4, Qt::LeftButton);
            QVERIFY(preview.person1->isHidden());
            QCOMPARE(preview.ReportPreview1->zoom(), 200);
        }));
    }

    // Keys as a person types them: to the window, which hands them to the focused control,
    // here the percentage box (a combo box that passes them on to its own line edit).
    void thePercentBoxRefusesLettersTypedIntoTheWindow() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QVERIFY(runInPreview(form, [&](TEXPDPreview& preview) {
            QWindow* window = preview.windowHandle();
            const auto centreOf = [&](QWidget* w) {
                return w->mapTo(&preview, w->rect().center());
            };
            QTest::mouseClick(window, Qt::LeftButton, {}, centreOf(preview.btn4));
            QVERIFY(!preview.person1->isHidden());
            QTest::mouseClick(window, Qt::LeftButton, {}, centreOf(preview.person1->lineEdit()));
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus == preview.person1 || focus == preview.person1->lineEdit());
            QCOMPARE(preview.person1->currentText(), QString("100%"));
            QTest::keyClick(window, Qt::Key_End);
            for (int i = 0; i < 4; ++i) QTest::keyClick(window, Qt::Key_Backspace);
            QCOMPARE(preview.person1->currentText(), QString());
            QCOMPARE(fx.boxes.beeps, 0);

            QTest::keyClick(window, Qt::Key_3);
            QCOMPARE(preview.ReportPreview1->zoom(), 3);
            QTest::keyClick(window, Qt::Key_5);
            QCOMPARE(preview.ReportPreview1->zoom(), 35);
            QTest::keyClick(window, Qt::Key_A);
            QCOMPARE(preview.person1->currentText(), QString("35"));
            QCOMPARE(fx.boxes.beeps, 1);
            QTest::keyClick(window, Qt::Key_Percent);
            QCOMPARE(preview.person1->currentText(), QString("35%"));
            QCOMPARE(preview.ReportPreview1->zoom(), 35);
            QCOMPARE(fx.boxes.beeps, 1);
        }));
    }

    void arrowKeysMoveThePageTenPixels() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QVERIFY(runInPreview(form, [&](TEXPDPreview& preview) {
            QWidget* image = preview.ReportPreview1->pageImage();
            const QPoint start = image->pos();
            QTest::keyClick(preview.spprint, Qt::Key_Left);
            QCOMPARE(image->pos(), start + QPoint(10, 0));
            QTest::keyClick(preview.spprint, Qt::Key_Up);
            QCOMPARE(image->pos(), start + QPoint(10, 10));
            QTest::keyClick(preview.spprint, Qt::Key_Down);
            QTest::keyClick(preview.spprint, Qt::Key_Right);
            QCOMPARE(image->pos(), start);
        }));
    }

    void printingTwiceFollowsThePrinterChosenOnTheMainWindow() {
        MainWindowFixture fx({"Office Laser", "Dot Matrix"}, "Office Laser");
        TEXPDPrintForm& form = fx.start();
        QVERIFY(runInPreview(form, [&](TEXPDPreview& preview) {
            QTest::mouseClick(preview.spprint, Qt::LeftButton);
            form.cbbPrinterName->setCurrentIndex(1);
            QTest::mouseClick(preview.spprint, Qt::LeftButton);
        }));
        QCOMPARE(fx.printers.documents.size(), 2);
        QCOMPARE(fx.printers.documents[0].printer, QString("Office Laser"));
        QCOMPARE(fx.printers.documents[1].printer, QString("Dot Matrix"));
        QCOMPARE(fx.printers.documents[0].pages.size(), 1);
        QCOMPARE(fx.printers.documents[1].pages.size(), 1);
    }

    // Between two prints from the preview the user picks another printer on the main window:
    // the picker and the two commands must not lie under the preview.
    void thePrinterControlsStayInReachWhileThePreviewIsOpen() {
        MainWindowFixture fx({"Office Laser", "Dot Matrix"}, "Office Laser");
        TEXPDPrintForm& form = fx.start();
        const QSize normalSize = form.size();
        QVERIFY(runInPreview(form, [&](TEXPDPreview& preview) {
            QCOMPARE(form.size(), normalSize);
            const QRect frame = preview.frameGeometry();
            for (QWidget* control :
                 {static_cast<QWidget*>(form.cbbPrinterName), static_cast<QWidget*>(form.btnPrint),
                  static_cast<QWidget*>(form.btn1)}) {
                const QRect global(control->mapToGlobal(QPoint(0, 0)), control->size());
                QVERIFY2(!frame.intersects(global), qPrintable(control->objectName()));
            }
            // The preview still shows a usable page area.
            QVERIFY(preview.ReportPreview1->height() > 200);

            QTest::mouseClick(preview.spprint, Qt::LeftButton);
            chooseItem(form.cbbPrinterName, "Dot Matrix");
            QTest::mouseClick(preview.spprint, Qt::LeftButton);

            // The main window's commands say why they do nothing.
            QTest::mouseClick(form.btnPrint, Qt::LeftButton);
            QTest::mouseClick(form.btn1, Qt::LeftButton);
            const QString open = "预览窗口已打开，请先关闭预览。";
            QCOMPARE(fx.boxes.texts(), QStringList({open, open}));
            QCOMPARE(fx.boxes.shown.first().icon, MessageBoxes::Icon::Information);
        }));
        QCOMPARE(fx.printers.documents.size(), 2);
        QCOMPARE(fx.printers.documents[0].printer, QString("Office Laser"));
        QCOMPARE(fx.printers.documents[1].printer, QString("Dot Matrix"));
    }

    void printingFromThePreviewOnAPrinterThatWentAwayPrintsNothing() {
        MainWindowFixture fx({"P1", "P2", "P3"}, "P1");
        TEXPDPrintForm& form = fx.start();
        chooseItem(form.cbbPrinterName, "P2");
        QVERIFY(runInPreview(form, [&](TEXPDPreview& preview) {
            fx.printers.printers.removeAt(1);
            QTest::mouseClick(preview.spprint, Qt::LeftButton);
            QCOMPARE(fx.boxes.texts(), QStringList{"打印机“P2”已不存在，请重新选择。"});
            QVERIFY(fx.printers.documents.isEmpty());
            QCOMPARE(form.cbbPrinterName->count(), 2);
            chooseItem(form.cbbPrinterName, "P3");
            QTest::mouseClick(preview.spprint, Qt::LeftButton);
        }));
        QCOMPARE(fx.printers.documents.size(), 1);
        QCOMPARE(fx.printers.documents.first().printer, QString("P3"));
    }

    void closingByTheTitleBarEndsThePreviewAndTheMainWindowClosesAgain() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QVERIFY(runInPreview(form, [&](TEXPDPreview& preview) {
            QVERIFY(!form.close());
            preview.close();
            QVERIFY(!ActivePreview);
        }));
        QVERIFY(form.close());
    }
};

QTEST_MAIN(TestPreviewWindow)
#include "tst_previewwindow.moc"
