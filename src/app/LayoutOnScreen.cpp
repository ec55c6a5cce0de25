// Between the waybill model and the page on screen: fields are shown at their design places
// scaled from the template's resolution P to the screen's R, and read back without drift.
#include <QComboBox>
#include <QLineEdit>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "printing/engine/TReportBand.h"

namespace {
// A size or point-size text as a number, or `fallback` when it holds none.
int numberOr(const QString& text, int fallback) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}
}  // namespace

void TEXPDPrintForm::showLayout(const WaybillTemplate& layout) {
    m_loadedLayout = layout;
    const double r = DetailBand1->screenDpi();
    for (const TemplateField& stored : layout.fields) {
        const int p = stored.pixelsPerInch;
        if (WaybillField* f = field(stored.name)) {
            f->setGeometry(screenFromDesign(stored.left, p, r), screenFromDesign(stored.top, p, r),
                           screenFromDesign(stored.width, p, r),
                           screenFromDesign(stored.height, p, r));
        }
    }
    for (const TemplateField& stored : layout.fields)
        if (WaybillField* f = field(stored.name)) f->setVisible(stored.visible);
}

WaybillTemplate TEXPDPrintForm::layoutOnScreen() const {
    WaybillTemplate layout = m_loadedLayout;
    layout.courier = currentTemplate();
    layout.printerName = cbbPrinterName->currentText();
    layout.heightMm = numberOr(edtLong->text(), layout.heightMm);
    layout.widthMm = numberOr(edtWide->text(), layout.widthMm);
    layout.fontName = cbbTextfontname->currentText();
    layout.fontSize = numberOr(cbbfontSize->currentText(), 0);
    layout.fields.clear();

    int position = 0;
    for (QObject* child : DetailBand1->children()) {
        if (!child->isWidgetType()) continue;
        const int printNumber = position++;
        auto* f = qobject_cast<QComboBox*>(child);
        if (!f) continue;
        TemplateField placed = designOf(f, f->geometry());
        placed.printNumber = printNumber;
        layout.fields << placed;
    }
    return layout;
}

TemplateField TEXPDPrintForm::designOf(const QWidget* field, const QRect& shown) const {
    const double r = DetailBand1->screenDpi();
    // A pasted copy has no stored place; it is where the screen shows it, at the set's
    // resolution.
    const TemplateField* stored = m_loadedLayout.field(field->objectName());
    const int p = stored ? stored->pixelsPerInch : m_loadedLayout.pixelsPerInch;
    TemplateField placed{field->objectName(), 0, 0, 0, 0, 0, !field->isHidden(), p};
    const auto design = [&](int TemplateField::*member, int onScreen) {
        return stored ? designValueShownAt(stored->*member, onScreen, p, r)
                      : designFromScreen(onScreen, p, r);
    };
    placed.left = design(&TemplateField::left, shown.x());
    placed.top = design(&TemplateField::top, shown.y());
    placed.width = design(&TemplateField::width, shown.width());
    placed.height = design(&TemplateField::height, shown.height());
    return placed;
}

WaybillTexts TEXPDPrintForm::textsOnScreen() const {
    WaybillTexts texts;
    for (QObject* child : DetailBand1->children())
        if (auto* f = qobject_cast<QComboBox*>(child))
            texts.insert(f->objectName(), f->currentText());
    return texts;
}

WaybillTexts TEXPDPrintForm::captionsOnScreen() const {
    WaybillTexts captions;
    for (QObject* child : DetailBand1->children())
        if (auto* f = qobject_cast<QComboBox*>(child); f && f->lineEdit())
            captions.insert(f->objectName(), f->lineEdit()->placeholderText());
    return captions;
}
