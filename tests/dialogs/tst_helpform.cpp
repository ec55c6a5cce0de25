#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QtTest>

#include "ModalDriver.h"
#include "app/TEXPDPrintForm.h"
#include "dialogs/HelpDocument.h"
#include "dialogs/TEXPDHelpForm.h"
#include "platform/AppEnvironment.h"
#include "support/MainWindowFixture.h"

namespace {
// The character format of the document at the first occurrence of `text`.
QTextCharFormat formatAt(QTextDocument* document, const QString& text) {
    QTextCursor found = document->find(text);
    if (found.isNull()) return {};
    QTextCursor at(document);
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

QString familyOf(const QTextCharFormat& format) {
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.first();
}

const char* const kTitles[] = {"选择快递",     "打印机",   "默认打印机",     "快递单的高和宽",
                               "锁定长宽比例", "启用拖曳", "保存更改",       "选择发货人",
                               "选择客户",     "客户管理", "设置字体、大小", "设置"};
}  // namespace

class TestHelpForm : public QObject {
    Q_OBJECT
  private slots:
    void layoutAt96PixelsPerInch() {
        TestFolders folders(96.0);
        TEXPDHelpForm help(nullptr);
        QCOMPARE(help.windowTitle(), AppEnvironment::applicationTitle() + "帮助");
        QCOMPARE(help.size(), QSize(516, 411));
        QCOMPARE(help.minimumSize(), help.maximumSize());
        QVERIFY(help.windowFlags() & Qt::WindowCloseButtonHint);

        QCOMPARE(help.lbl1->text(), QString("快递单打印帮助"));
        QCOMPARE(help.lbl1->pos(), QPoint(48, 32));
        QCOMPARE(help.lbl1->width(), 241);
        QVERIFY(help.lbl1->height() >= 27);
        // It may grow downwards for a taller stand-in face, but never into the text view.
        QVERIFY(help.lbl1->geometry().bottom() < help.RichEdit1->y());
        const QFont title = help.lbl1->font();
        QCOMPARE(title.family(), QString("黑体"));
        QCOMPARE(title.pixelSize(), 27);
        QVERIFY(title.italic());
        QVERIFY(title.underline());

        QCOMPARE(help.Button1->text(), QString("关闭"));
        QCOMPARE(help.Button1->geometry(), QRect(678, 39, 75, 25));
        QVERIFY(!help.rect().intersects(help.Button1->geometry()));  // out of sight

        QCOMPARE(help.RichEdit1->geometry(), QRect(29, 66, 454, 300));
        QVERIFY(help.RichEdit1->isReadOnly());
        QCOMPARE(help.RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(help.RichEdit1->font().family(), QString("Tahoma"));
        QCOMPARE(help.RichEdit1->font().pixelSize(), 12);

        QCOMPARE(help.StatusBar1->geometry(), QRect(0, 411 - 15, 516, 15));
        QCOMPARE(help.StatusBar1Panels.size(), 3);
        QCOMPARE(help.StatusBar1Panels[0]->width(), 260);
        QCOMPARE(help.StatusBar1Panels[1]->width(), 140);
        QCOMPARE(help.StatusBar1Panels[2]->width(), 50);
        for (QLabel* panel : help.StatusBar1Panels) {
            QVERIFY(!panel->text().isEmpty());
            QVERIFY(panel->sizeHint().width() <= panel->width());
        }
    }

    void layoutIsScaledToTheScreen() {
        TestFolders folders(120.0);
        TEXPDHelpForm help(nullptr);
        QCOMPARE(help.size(), QSize(645, 514));
        QCOMPARE(help.lbl1->pos(), QPoint(60, 40));
        QCOMPARE(help.lbl1->font().pixelSize(), 34);                    // 33.75
        QCOMPARE(help.RichEdit1->geometry(), QRect(36, 82, 568, 375));  // 36.25, 567.5
        QCOMPARE(help.Button1->geometry(), QRect(848, 49, 94, 31));     // 847.5, 48.75, 93.75
        QCOMPARE(help.StatusBar1Panels[0]->width(), 325);
        QVERIFY(help.lbl1->geometry().bottom() < help.RichEdit1->y());
    }

    void documentHoldsHeadingsItemsAndTheHiddenNote() {
        TestFolders folders(96.0);
        TEXPDHelpForm help(nullptr);
        const QString text = help.RichEdit1->toPlainText();
        QCOMPARE(text, helpDocumentPlainText());
        QVERIFY(text.startsWith("说明："));
        QStringList lines = text.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2 + 2 + 13 + 1 + 2);
        QCOMPARE(lines[0], QString("说明："));
        QVERIFY(lines[1].contains("套打"));
        QVERIFY(lines[2].contains("三种快递单"));
        QCOMPARE(lines[3], QString("帮助："));
        QVERIFY(lines[4].startsWith("1、"));
        for (int i = 0; i < 12; ++i)
            QVERIFY2(lines[5 + i].startsWith(QString("%1、%2：").arg(i + 2).arg(kTitles[i])),
                     qPrintable(lines[5 + i]));
        QVERIFY(lines[17].startsWith("隐藏功能："));
        QVERIFY(lines[17].contains("“客户管理”"));
        QVERIFY(lines[18].startsWith("1、加载默认（默认值是程序内置的数值）："));
        QVERIFY(lines[19].startsWith("2、存为默认："));
        QVERIFY(text.contains("针式打印机"));
        QVERIFY(text.contains("“启用拖曳”"));

        QTextDocument* document = help.RichEdit1->document();
        const QTextCharFormat heading = formatAt(document, "说明：");
        QCOMPARE(familyOf(heading), QString("黑体"));
        QCOMPARE(heading.fontPointSize(), 12.0);
        QCOMPARE(heading.foreground().color(), QColor(Qt::blue));
        QCOMPARE(formatAt(document, "帮助：").foreground().color(), QColor(Qt::blue));

        for (const char* bodyText : {"三种快递单", "首先选择快递单", "加载的就是"}) {
            const QTextCharFormat body = formatAt(document, bodyText);
            QCOMPARE(familyOf(body), QString("宋体"));
            QCOMPARE(body.fontPointSize(), 9.0);
            QCOMPARE(body.foreground().color(), QColor(Qt::black));
            QVERIFY(!body.fontUnderline());
        }

        const QTextCharFormat lead = formatAt(document, "隐藏功能：");
        QVERIFY(lead.fontUnderline());
        QCOMPARE(lead.fontWeight(), int(QFont::Bold));
        QCOMPARE(lead.foreground().color(), QColor(Qt::red));
        const QTextCharFormat after = formatAt(document, "双击");
        QVERIFY(!after.fontUnderline());
        QVERIFY(after.fontWeight() != int(QFont::Bold));
    }

    void enterRightAfterOpeningClosesIt() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QVERIFY(!EXPDHelpForm);
        auto driven = driveNextModal<TEXPDHelpForm>([&](TEXPDHelpForm& help) {
            QCOMPARE(EXPDHelpForm, &help);
            QCOMPARE(help.parentWidget(), &form);
            QVERIFY(help.isModal());
            QCOMPARE(QApplication::focusWidget(), help.Button1);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QVERIFY(!help.isVisible());
        });
        QTest::mouseClick(form.btnHelp, Qt::LeftButton);
        QVERIFY(*driven);
        QVERIFY(!EXPDHelpForm);
        QVERIFY(!form.findChild<TEXPDHelpForm*>());  // destroyed when it closed
        QVERIFY(fx.boxes.shown.isEmpty());
    }

    void spaceClosesItToo() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        auto driven = driveNextModal<TEXPDHelpForm>([&](TEXPDHelpForm& help) {
            QCOMPARE(QApplication::focusWidget(), help.Button1);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            QVERIFY(!help.isVisible());
        });
        QTest::mouseClick(form.btnHelp, Qt::LeftButton);
        QVERIFY(*driven);
    }

    void documentScrollsButCannotBeEditedAndOpensAtItsStart() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        for (int opening = 0; opening < 2; ++opening) {
            auto driven = driveNextModal<TEXPDHelpForm>([&](TEXPDHelpForm& help) {
                QScrollBar* bar = help.RichEdit1->verticalScrollBar();
                QVERIFY(bar->isVisible());
                QVERIFY(bar->maximum() > 0);  // longer than its view
                QCOMPARE(bar->value(), 0);
                const QString before = help.RichEdit1->toPlainText();
                QTest::mouseClick(help.RichEdit1->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
                QTest::keyClicks(help.RichEdit1, "abc");
                QTest::keyClick(help.RichEdit1, Qt::Key_Delete);
                QTest::keyClick(help.RichEdit1, Qt::Key_Backspace);
                QCOMPARE(help.RichEdit1->toPlainText(), before);
                QTest::keyClick(help.RichEdit1, Qt::Key_End, Qt::ControlModifier);
                bar->setValue(bar->maximum());
                QCOMPARE(bar->value(), bar->maximum());
                QTest::mouseClick(help.Button1, Qt::LeftButton);  // off-screen, still a button
                QVERIFY(!help.isVisible());
            });
            QTest::mouseClick(form.btnHelp, Qt::LeftButton);
            QVERIFY(*driven);
        }
    }
};

QTEST_MAIN(TestHelpForm)
#include "tst_helpform.moc"
