#include "dialogs/TEXPDHelpForm.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextLayout>
#include <QtMath>

#include "dialogs/HelpDocument.h"
#include "platform/AppEnvironment.h"
#include "platform/HandlerGuard.h"
#include "platform/ScreenScale.h"

TEXPDHelpForm* EXPDHelpForm = nullptr;

int TEXPDHelpForm::scaled(int designPixels) {
    return scaledToScreen(designPixels);
}

TEXPDHelpForm::TEXPDHelpForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("EXPDHelpForm"));
    setWindowTitle(AppEnvironment::applicationTitle() + QStringLiteral("帮助"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(scaled(516), scaled(411));
    // The window font is the platform's default dialog font: the application's font.

    // Created first so that it is first in the tab order.
    Button1 = new QPushButton(QStringLiteral("关闭"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(scaled(678), scaled(39), scaled(75), scaled(25));

    lbl1 = new QLabel(QStringLiteral("快递单打印帮助"), this);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    // "黑体" in the GB2312 character set: Qt picks the face by family alone and falls back per
    // glyph to an installed Chinese face where 黑体 is missing.
    QFont title(QStringLiteral("黑体"));
    title.setPixelSize(scaled(27));
    title.setItalic(true);
    title.setUnderline(true);
    lbl1->setFont(title);
    // In the window-text colour (the label's own). Not sized to its text; drawn from the top left,
    // as a label is.
    lbl1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // On Windows 黑体 has no internal leading, so a 27-pixel font fills the 27-pixel label to
    // its underline. The faces that stand in for it elsewhere have taller lines (WenQuanYi Micro
    // Hei: 32 pixels at 27), which would cut the underline off; there the label grows downwards
    // by just that much (the text view starts 7 design pixels lower).
    QTextLayout titleLayout(lbl1->text(), title);
    titleLayout.beginLayout();
    QTextLine titleLine = titleLayout.createLine();
    titleLine.setLineWidth(scaled(241));
    titleLayout.endLayout();
    const int lineHeight = qCeil(titleLine.height());
    lbl1->setGeometry(scaled(48), scaled(32), scaled(241), qMax(scaled(27), lineHeight));

    RichEdit1 = new QTextBrowser(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(scaled(29), scaled(66), scaled(454), scaled(300));
    RichEdit1->setReadOnly(true);
    RichEdit1->setOpenLinks(false);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->setLineWrapMode(QTextEdit::WidgetWidth);
    QFont viewFont(QStringLiteral("Tahoma"));
    viewFont.setPixelSize(scaled(12));
    RichEdit1->setFont(viewFont);
    RichEdit1->document()->setDefaultFont(viewFont);
    RichEdit1->setHtml(helpDocumentHtml());

    // A 15-pixel strip holds a line of the 11-pixel status font between the panels' bevels.
    StatusBar1 = new QFrame(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setGeometry(0, height() - scaled(15), width(), scaled(15));
    QFont statusFont = font();
    statusFont.setPixelSize(scaled(11));
    StatusBar1->setFont(statusFont);
    const QString texts[] = {QStringLiteral("Quorvel 快递单套打 · 帮助"),
                             QStringLiteral("support@quorvel.cn"), QStringLiteral("V1.2")};
    const int widths[] = {260, 140, 50};
    int left = 0;
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(texts[i], StatusBar1);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(scaled(2));
        panel->setGeometry(left, 0, scaled(widths[i]), StatusBar1->height());
        left += scaled(widths[i]);
        StatusBar1Panels << panel;
    }

    connect(Button1, &QPushButton::clicked, this, guarded(this, &TEXPDHelpForm::Button1Click));
    Button1->setDefault(true);
    Button1->setFocus();
}

TEXPDHelpForm::~TEXPDHelpForm() = default;

void TEXPDHelpForm::Button1Click() {
    close();
}
