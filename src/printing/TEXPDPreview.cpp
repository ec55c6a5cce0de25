#include "printing/TEXPDPreview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/ContactStatusBar.h"
#include "app/TEXPDPrintForm.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageBoxes.h"
#include "platform/ScreenScale.h"
#include "printing/PreviewPlacement.h"
#include "printing/PrintItems.h"
#include "printing/engine/TReportJob.h"
#include "printing/engine/TReportPreview.h"

QPointer<TEXPDPreview> ActivePreview;

namespace {
// The window was laid out at 120 pixels per inch and follows the screen's resolution.
int scaled(int designPixels) {
    return scaledToScreen(designPixels, 120.0);
}

QPushButton* toolButton(QWidget* parent, const char* name, const QString& caption, int left,
                        int width) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFlat(true);
    b->setGeometry(scaled(left), scaled(10), scaled(width), scaled(44));
    return b;
}

// The leading decimal digits of the percentage text: "150%" is 150, "" is 0.
int leadingNumber(const QString& text) {
    int value = 0;
    for (QChar c : text) {
        if (!c.isDigit() || value > 100000) break;
        value = value * 10 + c.digitValue();
    }
    return value;
}
}  // namespace

TEXPDPreview::TEXPDPreview(TEXPDPrintForm* mainForm)
    : QWidget(mainForm, Qt::Window | Qt::WindowStaysOnTopHint), m_mainForm(mainForm) {
    setObjectName(QStringLiteral("EXPDPreview"));
    setWindowTitle(QStringLiteral("预览窗口"));
    QFont windowFont(QStringLiteral("Tahoma"));
    windowFont.setPixelSize(scaled(14));
    setFont(windowFont);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(scaled(75));
    spprint = toolButton(Panel1, "spprint", QStringLiteral("打印"), 613, 85);
    spprint->setFlat(false);
    bt_close = toolButton(Panel1, "bt_close", QStringLiteral("关闭"), 727, 85);
    bt_close->setFlat(false);
    btn1 = toolButton(Panel1, "btn1", QStringLiteral("整页显示"), 71, 86);
    btn2 = toolButton(Panel1, "btn2", QStringLiteral("原始大小"), 186, 85);
    btn3 = toolButton(Panel1, "btn3", QStringLiteral("页宽显示"), 310, 85);
    btn4 = toolButton(Panel1, "btn4", QStringLiteral("比例显示"), 424, 86);
    btn4->setCheckable(true);
    person1 = new QComboBox(Panel1);
    person1->setObjectName(QStringLiteral("person1"));
    person1->setEditable(true);
    person1->setInsertPolicy(QComboBox::NoInsert);
    person1->setGeometry(scaled(514), scaled(20), scaled(78), scaled(25));
    person1->addItems({"200%", "150%", "120%", "100%", "90%", "80%", "70%", "60%", "50%", "40%"});
    person1->setCurrentIndex(person1->findText(QStringLiteral("100%")));
    person1->hide();
    // Typing "3" then "5" must give 35 %, not the first item that starts with those digits.
    person1->setCompleter(nullptr);
    // "打印" is the first control to take the focus.
    setTabOrder(spprint, bt_close);
    setTabOrder(bt_close, btn1);

    ReportPreview1 = new TReportPreview(this);
    ReportPreview1->setObjectName(QStringLiteral("ReportPreview1"));

    auto* bar = new QStatusBar(this);
    StatusBar1Panels = addContactPanels(bar);

    column->addWidget(Panel1);
    column->addWidget(ReportPreview1, 1);
    column->addWidget(bar);
    placeBesideMainWindow(QSize(scaled(1161), scaled(799)));

    connect(btn1, &QPushButton::clicked, this, guarded(this, &TEXPDPreview::btn1Click));
    connect(btn2, &QPushButton::clicked, this, guarded(this, &TEXPDPreview::btn2Click));
    connect(btn3, &QPushButton::clicked, this, guarded(this, &TEXPDPreview::btn3Click));
    connect(btn4, &QPushButton::clicked, this, guarded(this, &TEXPDPreview::btn4Click));
    connect(person1, &QComboBox::currentTextChanged, this,
            guarded(this, &TEXPDPreview::person1Change));
    connect(spprint, &QPushButton::clicked, this, guarded(this, &TEXPDPreview::spprintClick));
    connect(bt_close, &QPushButton::clicked, this, guarded(this, &TEXPDPreview::bt_closeClick));
    // The window sees keys before its controls do.
    qApp->installEventFilter(this);
}

void TEXPDPreview::placeBesideMainWindow(const QSize& clientSize) {
    // Our own frame is not known before the window is shown; the main window's is, and the
    // window system decorates both alike.
    const QSize decoration = m_mainForm->frameGeometry().size() - m_mainForm->geometry().size();
    const QRect printerControls(m_mainForm->Panel1->mapToGlobal(QPoint(0, 0)),
                                m_mainForm->Panel1->size());
    const QRect frame =
        previewPlacement(m_mainForm->frameGeometry(), printerControls, clientSize + decoration,
                         m_mainForm->screen()->availableGeometry());
    move(frame.topLeft());
    resize(frame.size() - decoration);
}

TEXPDPreview::~TEXPDPreview() {
    qApp->removeEventFilter(this);
    if (ActivePreview == this) ActivePreview = nullptr;
}

void TEXPDPreview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    spprint->setFocus();
    runGuarded([this] { FormShow(); });
}

void TEXPDPreview::FormShow() {
    btn1Click();
}

void TEXPDPreview::showPercentBoxAsToggled() {
    person1->setVisible(btn4->isChecked());
}

void TEXPDPreview::btn1Click() {
    ReportPreview1->ZoomToFit();
    showPercentBoxAsToggled();
}

void TEXPDPreview::btn2Click() {
    ReportPreview1->setZoom(100);
    showPercentBoxAsToggled();
}

void TEXPDPreview::btn3Click() {
    ReportPreview1->ZoomToWidth();
    showPercentBoxAsToggled();
}

void TEXPDPreview::btn4Click() {
    showPercentBoxAsToggled();
    person1Change();
}

void TEXPDPreview::person1Change() {
    ReportPreview1->setZoom(leadingNumber(person1->currentText()));
}

bool TEXPDPreview::person1KeyPress(QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.isEmpty()) return false;  // not a character: arrows, Delete, modifiers
    const QChar c = typed.front();
    if (c.isDigit() || c == QChar(8) || c == QChar(13) || c == QLatin1Char('%')) return false;
    MessageBoxes::beep();
    return true;
}

void TEXPDPreview::FormKeyDown(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            ReportPreview1->ScrollBy(10, 0);
            break;
        case Qt::Key_Up:
            ReportPreview1->ScrollBy(0, 10);
            break;
        case Qt::Key_Right:
            ReportPreview1->ScrollBy(-10, 0);
            break;
        case Qt::Key_Down:
            ReportPreview1->ScrollBy(0, -10);
            break;
        default:
            break;
    }
}

void TEXPDPreview::spprintClick() {
    TReportJob* job = ReportPreview1->reportJob();
    if (!job) return;
    job->setPrinterIndex(m_mainForm->printerIndexForOutput(this));
    job->Print();
}

void TEXPDPreview::bt_closeClick() {
    close();
}

void TEXPDPreview::closeEvent(QCloseEvent* event) {
    TReportJob* job = ReportPreview1->reportJob();
    // While the page is still being composed its items must stay where the engine draws them.
    if (job && job->status() == TJobStatus::mpBusy) {
        event->ignore();
        return;
    }
    RemovePrintItems(m_mainForm->DetailBand1);
    if (job) job->ClosePreview();
    event->accept();
    deleteLater();
    ActivePreview = nullptr;
    m_mainForm->activateWindow();
}

bool TEXPDPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // A person types into the box through the combo box, which has the focus and hands the
    // keys to its line edit directly; a key sent to the line edit itself comes here too.
    if (watched == person1 || watched == person1->lineEdit()) {
        bool discard = false;
        runGuarded([&] { discard = person1KeyPress(key); });
        if (discard) return true;
    }
    // Key preview: a key meant for any control of this window passes the window first. Keys
    // go to the focus widget first; an ignored key then travels on to its parents, which must
    // not see it a second time.
    auto* target = qobject_cast<QWidget*>(watched);
    if (target && target->window() == this && target == QApplication::focusWidget()) {
        runGuarded([&] { FormKeyDown(key); });
        if (auto* button = qobject_cast<QPushButton*>(target)) {
            // A focused button takes Enter as a press. Arrow keys stop here: a button would
            // pass the focus on with them, and the preview re-fits the page when it takes the
            // focus, undoing the move the arrow just made.
            switch (key->key()) {
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    button->click();
                    return true;
                case Qt::Key_Left:
                case Qt::Key_Right:
                case Qt::Key_Up:
                case Qt::Key_Down:
                    return true;
                default:
                    break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
