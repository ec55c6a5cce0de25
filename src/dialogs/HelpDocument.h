#pragma once

#include <QString>

// The fixed help document of the help window, as rich text (Qt's HTML subset).
//
// Headings ("说明：", "帮助：") are blue "黑体" at 12 points; the body is black "宋体" at 9
// points; the lead words "隐藏功能：" of the closing note are bold and underlined, and red,
// the document's third colour, so that the hidden function stands out. The old document's
// font table also named "MS Sans Serif" and "仿宋_GB2312", but no text of the document is set
// in them, so they do not appear here. The item titles are the document's own wording, which
// names some controls differently from the main window ("启用拖曳" is the check box "拖拽").
QString helpDocumentHtml();

// The same document as plain text (headings, paragraphs and items, one per line), for tests
// and for anyone who needs the words without the formatting.
QString helpDocumentPlainText();
