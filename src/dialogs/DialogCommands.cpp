// The main window's buttons that open the dialogs of this folder.
#include "app/TEXPDPrintForm.h"
#include "dialogs/TCalibrationForm.h"
#include "dialogs/TEXPDHelpForm.h"
#include "dialogs/TSetForm.h"
#include "platform/MessageBoxes.h"

void TEXPDPrintForm::Button3Click() {
    // Owned by the main window, shown modally, destroyed when it closes.
    TSetForm dialog(*this);
    dialog.exec();
}

void TEXPDPrintForm::btnHelpClick() {
    TEXPDHelpForm help(this);
    // The program-wide reference lives exactly as long as the window is shown.
    struct Reference {
        explicit Reference(TEXPDHelpForm* form) { EXPDHelpForm = form; }
        ~Reference() { EXPDHelpForm = nullptr; }
    } reference(&help);
    help.exec();
}

void TEXPDPrintForm::btnCalibrateClick() {
    if (currentTemplate().isEmpty()) {
        MessageBoxes::information(QStringLiteral("请先选择快递单品种。"), this);
        return;
    }
    TCalibrationForm dialog(*this);
    dialog.exec();
}
