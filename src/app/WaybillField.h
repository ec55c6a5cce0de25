#pragma once

#include <QComboBox>

struct WaybillFieldSpec;

// One of the editable one-line text boxes laid over the waybill picture. It is a combo box in
// "simple" style (an edit without a drop-down button) because the walks over the band's
// children pick out the fields, and pasted copies of them, by this class.
class WaybillField : public QComboBox {
    Q_OBJECT
  public:
    explicit WaybillField(QWidget* parent = nullptr);
    // A field as designed: name, caption as placeholder, design bounds (as pixels; the main
    // window places it for the screen's resolution).
    WaybillField(const WaybillFieldSpec& spec, QWidget* parent);

    QString text() const { return currentText(); }
    void setText(const QString& text) { setEditText(text); }
};
