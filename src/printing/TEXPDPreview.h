#pragma once

#include <QPointer>
#include <QWidget>

class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QPushButton;
class TEXPDPrintForm;
class TReportPreview;

// The preview window: the composed page, its zoom, and printing it on the printer chosen on
// the main window. Not modal; it lives inside the page's preview call, which returns when this
// window closes, and closing it is what removes the print items from the main window's page.
class TEXPDPreview : public QWidget {
    Q_OBJECT
  public:
    explicit TEXPDPreview(TEXPDPrintForm* mainForm);
    ~TEXPDPreview() override;

    QFrame* Panel1 = nullptr;
    QPushButton* btn1 = nullptr;  // 整页显示
    QPushButton* btn2 = nullptr;  // 原始大小
    QPushButton* btn3 = nullptr;  // 页宽显示
    QPushButton* btn4 = nullptr;  // 比例显示 (toggle)
    QComboBox* person1 = nullptr;
    QPushButton* spprint = nullptr;
    QPushButton* bt_close = nullptr;
    TReportPreview* ReportPreview1 = nullptr;
    QList<QLabel*> StatusBar1Panels;

    void FormShow();
    void btn1Click();
    void btn2Click();
    void btn3Click();
    void btn4Click();
    void person1Change();
    // Returns true when the key is to be discarded.
    bool person1KeyPress(QKeyEvent* event);
    void FormKeyDown(QKeyEvent* event);
    void spprintClick();
    void bt_closeClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showPercentBoxAsToggled();
    // Opens the window where the main window's printer controls stay in reach.
    void placeBesideMainWindow(const QSize& clientSize);

    TEXPDPrintForm* m_mainForm;
    bool m_shown = false;
};

// The open preview window, or null.
extern QPointer<TEXPDPreview> ActivePreview;
