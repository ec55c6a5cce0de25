// "批量打印" on the main window: the batch dialog over the template shown.
#include "app/TEXPDPrintForm.h"
#include "batch/BatchPrintDialog.h"
#include "platform/MessageBoxes.h"
#include "printing/TEXPDPreview.h"

void TEXPDPrintForm::btnBatchClick() {
    // One preview at a time: the batch window shows its own.
    if (ActivePreview) {
        MessageBoxes::information(QStringLiteral("预览窗口已打开，请先关闭预览。"), ActivePreview);
        ActivePreview->raise();
        return;
    }
    BatchPrintDialog dialog(this);
    dialog.exec();
}
