#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "app/WaybillFieldSpecs.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"
#include "support/TestSupport.h"

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    void controlsAreFoundByNameWithTheirCaptionsAndPlaces() {
        TestFolders folders;
        RecordingMessageBoxes boxes;
        TEXPDPrintForm form;
        QVERIFY(form.windowTitle().endsWith(" V1.2"));

        struct Expected {
            const char* name;
            QRect geometry;
            QString caption;
        };
        const Expected buttons[] = {
            {"Button3", {453, 6, 33, 25}, "设置"},
            {"btnApply", {490, 6, 75, 25}, "保存更改"},
            {"Button1", {408, 41, 73, 25}, "默认打印机"},
            {"btnPrint", {492, 41, 35, 25}, "打印"},
            {"btn1", {529, 41, 35, 25}, "预览"},
            {"btnHelp", {723, 15, 64, 25}, "帮助"},
            {"Button2", {724, 54, 64, 25}, "客户管理"},
        };
        for (const auto& e : buttons) {
            auto* b = form.findChild<QPushButton*>(e.name);
            QVERIFY2(b, e.name);
            QCOMPARE(b->geometry(), e.geometry);
            QCOMPARE(b->text(), e.caption);
        }
        auto* load = form.findChild<QToolButton*>("btnDefault");
        auto* save = form.findChild<QToolButton*>("btnSaveDefault");
        QVERIFY(load && save);
        QCOMPARE(load->text(), QString("加载默认"));
        QCOMPARE(save->geometry(), QRect(865, 17, 60, 60));

        auto* names = form.findChild<QComboBox*>("cbbNames");
        QVERIFY(names);
        QCOMPARE(names->count(), 3);
        QCOMPARE(names->itemText(1), QString("龙邦快递"));
        QCOMPARE(names->currentIndex(), -1);
        QCOMPARE(names->toolTip(), QString("选择快递单品种"));
        auto* sizes = form.findChild<QComboBox*>("cbbfontSize");
        QCOMPARE(sizes->count(), 14);
        QCOMPARE(sizes->itemText(13), QString("20"));
        auto* lock = form.findChild<QCheckBox*>("chk1");
        QVERIFY(lock->isChecked());
        QCOMPARE(lock->text(), QString("锁定长宽比例"));
        QVERIFY(!form.findChild<QCheckBox*>("CheckBox1")->isChecked());
        QCOMPARE(form.findChild<QComboBox*>("cbbSendNames")->geometry(), QRect(600, 16, 113, 21));
        QCOMPARE(form.findChild<QComboBox*>("cbbSendNames")->focusPolicy(), Qt::ClickFocus);
        QCOMPARE(form.StatusBar1Panels.size(), 4);
        QCOMPARE(form.StatusBar1Panels[1]->width(), 300);
    }

    void theClientAreaIs961By672WithTheStatusBarInside() {
        TestFolders folders;
        RecordingMessageBoxes boxes;
        TEXPDPrintForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.size(), QSize(961, 672));
        QCOMPARE(form.centralWidget()->geometry().top(), 0);
        const QRect status = form.findChild<QWidget*>("StatusBar1")->geometry();
        QCOMPARE(status.height(), 19);
        QCOMPARE(status.bottom(), 671);
        // Top strip, page area and status bar share the 672 pixels.
        QCOMPARE(form.pnl1->height(), 89);
        QCOMPARE(form.pnl3->height(), 672 - 89 - 19);
    }

    void sizeEditsTakeAtMostThreeDigits() {
        TestFolders folders;
        RecordingMessageBoxes boxes;
        TEXPDPrintForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.chk1->setChecked(false);
        auto* height = form.findChild<QLineEdit*>("edtLong");
        QCOMPARE(height->text(), QString("128"));
        QCOMPARE(height->toolTip(), QString("快递单实际毫米高度，回车可应用更改"));
        height->clear();
        height->setFocus();
        QTest::keyClicks(height, "9a+-8765");
        QCOMPARE(height->text(), QString("987"));
    }

    void fieldsLieOnTheBandAtTheirDesignPlacesInBandOrder() {
        TestFolders folders;
        RecordingMessageBoxes boxes;
        TEXPDPrintForm form;
        const QObjectList children = form.DetailBand1->children();
        QCOMPARE(children.first(), form.Image1);
        QStringList order;
        for (QObject* child : children)
            if (qobject_cast<WaybillField*>(child)) order << child->objectName();
        QCOMPARE(order, QStringList({"cbb1", "cbb2", "cbb3", "cbb4", "cbb11", "cbb22", "cbb33",
                                     "cbb44", "cbb5", "cbb55"}));
        for (const auto& spec : waybillFieldSpecs()) {
            WaybillField* f = form.field(spec.objectName());
            QVERIFY(f);
            QCOMPARE(f->geometry(), QRect(spec.left, spec.top, spec.width, spec.height));
            QVERIFY(f->text().isEmpty());
            QCOMPARE(f->lineEdit()->placeholderText(), spec.captionText());
        }
        QCOMPARE(form.field("CBB22"), form.field("cbb22"));
        QCOMPARE(form.bandFields().size(), 10);

        // Tab walks the fields in band order.
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.field("cbb4")->setFocus();
        QTest::keyClick(form.field("cbb4"), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus == form.field("cbb11") || focus == form.field("cbb11")->lineEdit());
    }

    void pictureFillsTheBandAndFollowsIt() {
        TestFolders folders;
        RecordingMessageBoxes boxes;
        TEXPDPrintForm form;
        QCOMPARE(form.Image1->geometry(), form.DetailBand1->rect());
        form.DetailBand1->setSizeValue(0, 50.0);
        QCOMPARE(form.Image1->geometry(), form.DetailBand1->rect());
    }

    void hiddenPanelCoversTheDefaultButtonsUntilDoubleClicked() {
        TestFolders folders;
        RecordingMessageBoxes boxes;
        TEXPDPrintForm form;
        form.show();
        QVERIFY(form.pnlHidden->isVisible());
        QVERIFY(form.pnlHidden->geometry().contains(form.btnDefault->geometry()));
        QVERIFY(form.pnlHidden->geometry().contains(form.btnSaveDefault->geometry()));
        QTest::mouseDClick(form.pnlHidden, Qt::LeftButton, {}, QPoint(70, 30));
        QVERIFY(!form.pnlHidden->isVisible());
    }

    void pageIsCentredInTheGreyAreaOrKeptFiveFromTheEdge() {
        TestFolders folders;
        RecordingMessageBoxes boxes;
        TEXPDPrintForm form;
        form.show();
        form.pnl6->resize(1287, 805);
        QCOMPARE(form.ReportPage1->pos(), QPoint((1287 - form.ReportPage1->width()) / 2,
                                                 (805 - form.ReportPage1->height()) / 2));
        form.pnl6->resize(300, 200);
        QCOMPARE(form.ReportPage1->pos(), QPoint(5, 5));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
