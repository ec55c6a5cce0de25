// The main window's side of the print history: the button "打印记录" opens the history window
// (one at a time), and a reprint from it prints on the template and printer shown.
#include "app/TEXPDPrintForm.h"
#include "history/TPrintHistoryForm.h"

void TEXPDPrintForm::btnHistoryClick() {
    if (auto* open = findChild<TPrintHistoryForm*>(QString(), Qt::FindDirectChildrenOnly)) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* window = new TPrintHistoryForm(this);
    window->reprint = [this](const QList<WaybillTexts>& waybills, QWidget* messageParent) {
        reprintWaybills(waybills, messageParent);
    };
    window->show();
}
