#include "app/TEXPDPrintForm.h"

#include "platform/AppEnvironment.h"

TEXPDPrintForm::TEXPDPrintForm(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(AppEnvironment::applicationTitle() + QStringLiteral(" V1.2"));
}
