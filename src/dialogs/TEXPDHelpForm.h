#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QFrame;
class QTextBrowser;

// The help window behind the main window's "帮助": a fixed dialog with the title
// "快递单打印帮助" and the read-only help document (HelpDocument.h) in a view that scrolls
// vertically. It changes nothing.
//
// The window was laid out for 96 pixels per inch and is scaled to the screen's resolution
// (AppEnvironment::screenDpi()): every position, size and pixel font height below is a design
// value times R / 96, rounded half to even. The document's point sizes follow the screen by
// themselves.
//
// "关闭" (Button1) lies beyond the right edge of the client area, where nobody sees it, but it
// is first in the tab order and holds the focus when the window opens, so Enter or Space
// closes the window straight away.
class TEXPDHelpForm : public QDialog {
    Q_OBJECT
  public:
    explicit TEXPDHelpForm(QWidget* owner);
    ~TEXPDHelpForm() override;

    QLabel* lbl1 = nullptr;
    QPushButton* Button1 = nullptr;
    QTextBrowser* RichEdit1 = nullptr;
    QFrame* StatusBar1 = nullptr;  // a strip of three sunken panels along the bottom
    QList<QLabel*> StatusBar1Panels;

    void Button1Click();

    // A design length in pixels at 96 pixels per inch, scaled to the screen.
    static int scaled(int designPixels);
};

// The open help window, set while it is shown (by the main window's btnHelpClick), else null.
extern TEXPDHelpForm* EXPDHelpForm;
