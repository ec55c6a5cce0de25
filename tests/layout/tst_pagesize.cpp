#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"
#include "support/MainWindowFixture.h"

namespace {
void retype(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}
}  // namespace

class TestPageSize : public QObject {
    Q_OBJECT
  private slots:
    void ratioLockFollowsTheReferenceRoundingHalvesToEven_data() {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<bool>("typeHeight");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("other");
        QTest::newRow("64 high") << "" << true << "64"
                                 << "115";
        QTest::newRow("100 high") << "" << true << "100"
                                  << "180";
        QTest::newRow("115 wide") << "" << false << "115"
                                  << "64";
        QTest::newRow("100x50: 5 high") << "DefaultLong=100\r\nDefaultWide=50\r\n"
                                        << true << "5"
                                        << "2";
        QTest::newRow("100x50: 7 high") << "DefaultLong=100\r\nDefaultWide=50\r\n"
                                        << true << "7"
                                        << "4";
        // A reference side of 0 defines no proportion: the other edit stays as it was.
        QTest::newRow("0 high reference") << "DefaultLong=0\r\n"
                                          << true << "64"
                                          << "230";
        QTest::newRow("0 wide reference") << "DefaultWide=0\r\n"
                                          << false << "64"
                                          << "128";
    }

    void ratioLockFollowsTheReferenceRoundingHalvesToEven() {
        QFETCH(QString, reference);
        QFETCH(bool, typeHeight);
        QFETCH(QString, typed);
        QFETCH(QString, other);
        MainWindowFixture fx;
        if (!reference.isEmpty()) fx.writeSettings("[龙邦快递]\r\n" + reference);
        TEXPDPrintForm& form = fx.start();
        QLineEdit* edit = typeHeight ? form.edtLong : form.edtWide;
        QLineEdit* follower = typeHeight ? form.edtWide : form.edtLong;
        retype(edit, typed);
        QCOMPARE(follower->text(), other);
        QVERIFY(fx.boxes.shown.isEmpty());
        // Typing never resizes the page.
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Length), 128.0);
    }

    void unlockedEditsAreIndependent() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QTest::mouseClick(form.chk1, Qt::LeftButton);
        QVERIFY(!form.chk1->isChecked());
        retype(form.edtLong, "64");
        QCOMPARE(form.edtWide->text(), QString("230"));
    }

    void enterAppliesTheSizeAndFitsTheBand() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        retype(form.edtLong, "100");
        QTest::keyClick(form.edtLong, Qt::Key_Return);
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Length), 100.0);
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Width), 180.0);
        QCOMPARE(form.DetailBand1->sizeValue(TReportBand::Length), 98.0);
        QCOMPARE(form.ReportPage1->size(), QSize(850, 472));
        QCOMPARE(form.Image1->size(), form.DetailBand1->size());

        // Enter with an edit empty changes nothing.
        form.edtWide->setFocus();
        form.edtWide->clear();
        QTest::keyClick(form.edtWide, Qt::Key_Return);
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Width), 180.0);
    }

    void enterWithABadTextReportsItAndKeepsThePageWhole() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        form.chk1->setChecked(false);
        form.edtWide->setText("2x");  // only a settings file can put such text here
        form.edtLong->setText("100");
        form.edtLong->setFocus();
        QTest::keyClick(form.edtLong, Qt::Key_Return);
        QCOMPARE(fx.boxes.shown.size(), 1);
        QVERIFY(fx.boxes.texts().first().contains("2x"));
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Length), 128.0);
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Width), 230.0);
    }

    void storedSizeOutOfProportionEndsWhereTheFeedbackSettles() {
        MainWindowFixture fx;
        fx.writeSettings("[龙邦快递]\r\nCurrentLong=100\r\nCurrentWide=230\r\n");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.edtLong->text(), QString("128"));
        QCOMPARE(form.edtWide->text(), QString("230"));
        QCOMPARE(form.ReportPage1->pageValue(TReportPage::Length), 100.0);
    }

    void pageIsDrawnAtTrueSizeForTheScreen() {
        MainWindowFixture fx({"P"}, "P", 96.0);
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.ReportPage1->size(), QSize(869, 484));
        retype(form.edtLong, "999");
        QTest::keyClick(form.edtLong, Qt::Key_Return);
        QCOMPARE(form.ReportPage1->height(), 3776);
        form.pnl6->resize(1000, 700);
        QCOMPARE(form.ReportPage1->y(), 5);
    }
};

QTEST_MAIN(TestPageSize)
#include "tst_pagesize.moc"
