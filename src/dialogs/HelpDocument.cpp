#include "dialogs/HelpDocument.h"

#include <QStringList>
#include <QTextDocument>

namespace {

struct Item {
    const char* title;  // empty: the item has no title
    const char* text;
    const char* aside = "";  // a remark in brackets between the title and the colon
};

const char* const kIntro[] = {
    "本软件是一款套打软件。由于打印机不同、电脑不同，即使是同一台电脑，屏幕分辨率不同时，"
    "各标签显示的位置也会有所差别，所以需要针对各自的情况，反复调整标签的位置，"
    "直到打印准确为止。",
    "本软件只内置了三种快递单，其他快递单的添加方法，用户可以自行摸索。",
};

const Item kItems[] = {
    {"",
     "本程序是套打程序，能否打印准确，与纸张在打印机中放置的位置关系很大，需要多次试验才能成功。"},
    {"选择快递", "首先选择快递单。"},
    {"打印机",
     "选择打印机（如果使用默认打印机，也可以直接点击“加载默认”）。注意：打印机应为针式打印机。"},
    {"默认打印机", "使用默认打印机打印快递单；如果以后一直使用该打印机，请点击“保存更改”。"},
    {"快递单的高和宽", "快递单实际的高度和宽度，单位为毫米；修改后可以按回车键立即应用。"},
    {"锁定长宽比例", "选中后，修改快递单的高或宽时，会保持原有的长宽比例。"},
    {"启用拖曳",
     "试打时，如果标签没有打印在正确的位置，请开启“启用拖曳”，把标签拖到合适的位置；"
     "位置调整准确后，请保存更改，下次打印时标签就会保持在调整好的位置。"},
    {"保存更改", "把快递单的高、宽以及各标签的位置保存到程序中，以便以后使用。"},
    {"选择发货人", "选择发货人后，发货人的资料会填入快递单上对应的标签。"},
    {"选择客户", "选择收货的客户后，客户的资料会填入快递单上对应的标签。"},
    {"客户管理", "编辑、添加发货人和客户的资料，供打印时使用。"},
    {"设置字体、大小", "修改标签文字的字体名称和字号大小。"},
    {"设置", "设置各标签是否显示；设置默认的快递单。"},
};

const char* const kHiddenLead = "隐藏功能：";
const char* const kHiddenText = "双击“客户管理”右侧的空白处，会出现隐藏的功能——加载和修改默认值：";
const Item kHiddenItems[] = {
    {"加载默认",
     "经过多次修改（快递单尺寸、标签位置）后仍不满意，又不知道怎样恢复到最初的状态时，"
     "点击此按钮，可以恢复快递单的尺寸和标签的位置。",
     "（默认值是程序内置的数值）"},
    {"存为默认",
     "把当前快递单的高、宽和各标签的位置存为默认值，以后点击“加载默认”时，"
     "加载的就是此时保存的数值。"},
};

QString u(const char* text) {
    return QString::fromUtf8(text);
}

QString esc(const char* text) {
    return u(text).toHtmlEscaped();
}

// The item's line: "2、选择快递：首先选择快递单。" (the first item has no title).
QString itemLine(int number, const Item& item) {
    QString line = QString::number(number) + u("、");
    if (*item.title) line += u(item.title) + u(item.aside) + u("：");
    return line + u(item.text);
}

QString itemLineHtml(int number, const Item& item) {
    return itemLine(number, item).toHtmlEscaped();
}

const char* const kHeading =
    "<p style=\"margin-top:6px; margin-bottom:4px;\"><span style=\"font-family:'黑体'; "
    "font-size:12pt; color:#0000ff;\">%1</span></p>";
const char* const kBody =
    "<p style=\"margin-top:0px; margin-bottom:3px;%2\"><span style=\"font-family:'宋体'; "
    "font-size:9pt; color:#000000;\">%1</span></p>";

QString heading(const QString& text) {
    return u(kHeading).arg(text.toHtmlEscaped());
}

QString body(const QString& html, const char* extraStyle = "") {
    return u(kBody).arg(html, u(extraStyle));
}

}  // namespace

QString helpDocumentHtml() {
    QString html = QStringLiteral("<html><body>");
    html += heading(u("说明："));
    // Each paragraph opens with two ideographic spaces, as Chinese paragraphs do (kept from the
    // HTML white-space folding).
    for (const char* paragraph : kIntro)
        html += body(QString(2, QChar(0x3000)) + esc(paragraph), " white-space:pre-wrap;");
    html += heading(u("帮助："));
    int number = 0;
    for (const Item& item : kItems) html += body(itemLineHtml(++number, item));
    html += body(QStringLiteral("<span style=\"color:#ff0000; font-weight:bold; "
                                "text-decoration:underline;\">%1</span>%2")
                     .arg(esc(kHiddenLead), esc(kHiddenText)),
                 " margin-top:6px;");
    number = 0;
    for (const Item& item : kHiddenItems)
        html += body(itemLineHtml(++number, item), " margin-left:2em;");
    html += QStringLiteral("</body></html>");
    return html;
}

QString helpDocumentPlainText() {
    QTextDocument document;
    document.setHtml(helpDocumentHtml());
    return document.toPlainText();
}
