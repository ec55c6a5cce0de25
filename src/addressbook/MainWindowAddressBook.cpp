// The main window's address-book handlers: connecting and filling at window
// creation, the two pickers, and the button that opens the editor dialog. The work is done by
// AddressBook, AddressPickers and TCusAddForm; these are the main window's entry points.
#include <QComboBox>

#include "addressbook/AddressBook.h"
#include "addressbook/AddressPickers.h"
#include "addressbook/TCusAddForm.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "app/WaybillFieldSpecs.h"

void TEXPDPrintForm::ConnectAddressBook() {
    if (!addressBook) {
        addressBook = new AddressBook(this);
        // The pickers' own signals (a user's choice, a released key) run the handlers below.
        addressPickers = new AddressPickers(
            *addressBook, cbbSendNames, cbbCustomerNames,
            [this](const QString& name) -> QComboBox* { return field(name); }, this);
    }
    addressBook->ConnectAddressBook();
}

void TEXPDPrintForm::FillAddressPickers() {
    addressPickers->Fill();
}

void TEXPDPrintForm::cbbSendNamesChange() {
    if (addressPickers) addressPickers->cbbSendNamesChange();
}

void TEXPDPrintForm::cbbCustomerNamesChange() {
    if (addressPickers) addressPickers->cbbCustomerNamesChange();
}

void TEXPDPrintForm::cbbSendNamesKeyUp(int key) {
    if (addressPickers) addressPickers->cbbSendNamesKeyUp(key);
}

void TEXPDPrintForm::cbbCustomerNamesKeyUp(int key) {
    if (addressPickers) addressPickers->cbbCustomerNamesKeyUp(key);
}

void TEXPDPrintForm::ResetAddressPickers() {
    if (addressPickers) {
        addressPickers->ResetPickers();
        return;
    }
    // Before creation step 1 there is no controller; the pickers and fields are reset the
    // same way all the same.
    cbbCustomerNames->setCurrentIndex(-1);
    cbbSendNames->setCurrentIndex(-1);
    for (const WaybillFieldSpec& spec : waybillFieldSpecs())
        if (WaybillField* f = field(spec.objectName())) f->setText(QString());
}

void TEXPDPrintForm::Button2Click() {
    if (!addressBook) return;
    TCusAddForm::Button2Click(*addressBook, addressPickers, this);
}
