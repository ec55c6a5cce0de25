// Precise editing of the layout: the read-out of the selected field's place, grid snapping on
// and off, the undo history, a shift of all fields by millimetres, and the question about
// unsaved positions before they would be lost.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

#include "app/LayoutHistory.h"
#include "app/ListSelection.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "editor/TControlEdit.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageBoxes.h"
#include "platform/Rounding.h"
#include "printing/engine/TReportBand.h"

namespace {
const QString kUnsavedLayoutQuestion = QStringLiteral("当前快递单的标签位置已更改，是否保存？");

// Design pixels at P as millimetres on the form, to 0.1 mm.
QString millimetres(int design, int pixelsPerInch) {
    return QString::number(design * 25.4 / pixelsPerInch, 'f', 1);
}

int designPixels(double millimetres, int pixelsPerInch) {
    return roundHalfEven(millimetres * pixelsPerInch / 25.4);
}
}  // namespace

void TEXPDPrintForm::buildPreciseEditing() {
    lblFieldReadout = new QLabel(statusBar());
    lblFieldReadout->setObjectName(QStringLiteral("lblFieldReadout"));
    lblFieldReadout->setToolTip(
        QStringLiteral("所选标签在快递单上的左、上、宽、高（毫米），及保存的像素值"));
    chkSnapToGrid = new QCheckBox(QStringLiteral("对齐网格"), statusBar());
    chkSnapToGrid->setObjectName(QStringLiteral("chkSnapToGrid"));
    chkSnapToGrid->setChecked(true);
    chkSnapToGrid->setToolTip(QStringLiteral("拖动标签时按 8 像素网格移动；不选则逐像素移动"));
    statusBar()->addPermanentWidget(lblFieldReadout);
    statusBar()->addPermanentWidget(chkSnapToGrid);
    btnCalibrate = addStatusBarButton(QStringLiteral("打印校准"), QStringLiteral("btnCalibrate"),
                                      QStringLiteral("设置打印偏移、打印校准页、全部平移标签"));

    layoutHistory = new LayoutHistory(
        ControlEdit1, [this] { return m_loadedLayout; },
        [this](const WaybillTemplate& designs) { m_loadedLayout = designs; }, this);
    actUndo = new QAction(QStringLiteral("撤销"), this);
    actUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    actRedo = new QAction(QStringLiteral("重做"), this);
    actRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (QAction* action : {actUndo, actRedo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    QUndoStack* stack = layoutHistory->stack();
    connect(actUndo, &QAction::triggered, this, guarded(stack, &QUndoStack::undo));
    connect(actRedo, &QAction::triggered, this, guarded(stack, &QUndoStack::redo));

    connect(chkSnapToGrid, &QCheckBox::clicked, this,
            guarded(this, &TEXPDPrintForm::chkSnapToGridClick));
    connect(btnCalibrate, &QToolButton::clicked, this,
            guarded(this, &TEXPDPrintForm::btnCalibrateClick));
    connect(ControlEdit1, &TSizeFrames::selectionChanged, this,
            &TEXPDPrintForm::updateFieldReadout);
    connect(ControlEdit1, &TSizeFrames::editFinished, this, &TEXPDPrintForm::updateFieldReadout);
    connect(layoutHistory, &LayoutHistory::restored, this, &TEXPDPrintForm::updateFieldReadout);
    connect(ControlEdit1, &TSizeFrames::dragMoved, this, &TEXPDPrintForm::showFieldReadout);
}

void TEXPDPrintForm::chkSnapToGridClick() {
    ControlEdit1->SetSnapToGrid(chkSnapToGrid->isChecked());
}

void TEXPDPrintForm::updateFieldReadout() {
    const QWidget* selected = ControlEdit1->Selected();
    if (selected && selected->parentWidget() == DetailBand1)
        showFieldReadout(selected, selected->geometry());
    else
        lblFieldReadout->clear();
}

void TEXPDPrintForm::showFieldReadout(const QWidget* field, const QRect& shown) {
    // What the user measures on the real form, from its corner (the band's), and the whole
    // pixels the settings file stores.
    const TemplateField f = designOf(field, shown);
    const int p = f.pixelsPerInch;
    lblFieldReadout->setText(QStringLiteral("%1 左 %2 上 %3 宽 %4 高 %5 毫米 | %6, %7, %8×%9 像素")
                                 .arg(field->objectName(), millimetres(f.left, p),
                                      millimetres(f.top, p), millimetres(f.width, p),
                                      millimetres(f.height, p))
                                 .arg(f.left)
                                 .arg(f.top)
                                 .arg(f.width)
                                 .arg(f.height));
}

void TEXPDPrintForm::shiftAllFields(double dxMillimetres, double dyMillimetres) {
    layoutHistory->begin();
    const double r = DetailBand1->screenDpi();
    for (const TemplateField& shown : layoutOnScreen().fields) {
        QWidget* f = field(shown.name);
        if (!f) continue;
        // The loaded set takes the shifted design values, so that a save writes them exactly
        // as computed, whatever the screen's resolution.
        TemplateField* stored = m_loadedLayout.field(shown.name);
        if (!stored) {
            m_loadedLayout.fields << shown;
            stored = &m_loadedLayout.fields.last();
        }
        const int p = stored->pixelsPerInch;
        stored->left = shown.left + designPixels(dxMillimetres, p);
        stored->top = shown.top + designPixels(dyMillimetres, p);
        stored->width = shown.width;
        stored->height = shown.height;
        f->move(screenFromDesign(stored->left, p, r), screenFromDesign(stored->top, p, r));
    }
    ControlEdit1->Refresh();
    layoutHistory->end(QStringLiteral("全部平移"));
    updateFieldReadout();
}

bool TEXPDPrintForm::settleUnsavedLayout() {
    if (!layoutHistory->hasUnsavedChanges()) return true;
    switch (MessageBoxes::question(kUnsavedLayoutQuestion, this)) {
        case MessageBoxes::Answer::Cancel:
            return false;
        case MessageBoxes::Answer::Yes:
            btnApplyClick();
            return true;
        default:
            return true;
    }
}
