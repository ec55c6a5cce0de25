// "批量打印" on the main window: the batch dialog over the template shown.
#include "app/TEXPDPrintForm.h"
#include "batch/BatchPrintDialog.h"

void TEXPDPrintForm::btnBatchClick() {
    BatchPrintDialog dialog(this);
    dialog.exec();
}
