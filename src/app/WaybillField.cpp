#include "app/WaybillField.h"

#include <QLineEdit>

#include "app/WaybillFieldSpecs.h"

WaybillField::WaybillField(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // No drop-down button: the field is a plain edit box that happens to be a combo box.
    setStyleSheet(QStringLiteral(
        "WaybillField::drop-down { width: 0px; border: 0px; } "
        "WaybillField::down-arrow { image: none; width: 0px; }"));
    QFont designFont(QStringLiteral("Arial"));
    designFont.setPixelSize(16);
    setFont(designFont);
}

WaybillField::WaybillField(const WaybillFieldSpec& spec, QWidget* parent) : WaybillField(parent) {
    setObjectName(spec.objectName());
    setGeometry(spec.left, spec.top, spec.width, spec.height);
    setText(spec.captionText());
}
