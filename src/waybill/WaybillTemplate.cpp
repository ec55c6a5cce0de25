#include "waybill/WaybillTemplate.h"

#include "app/WaybillFieldSpecs.h"
#include "platform/Rounding.h"

const TemplateField* WaybillTemplate::field(const QString& name) const {
    for (const TemplateField& f : fields)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0) return &f;
    return nullptr;
}

TemplateField* WaybillTemplate::field(const QString& name) {
    return const_cast<TemplateField*>(std::as_const(*this).field(name));
}

WaybillTemplate WaybillTemplate::designed() {
    WaybillTemplate layout;
    const auto& specs = waybillFieldSpecs();
    int printNumber = 1;
    for (int index : kBandFieldOrder) {
        const WaybillFieldSpec& spec = specs[index];
        layout.fields << TemplateField{
            spec.objectName(), printNumber++, spec.left, spec.top,
            spec.width,        spec.height,   true,      kUnrecordedPixelsPerInch};
    }
    return layout;
}

int screenFromDesign(int design, int pixelsPerInch, double screenDpi) {
    return roundHalfEven(design * screenDpi / pixelsPerInch);
}

int designFromScreen(int screen, int pixelsPerInch, double screenDpi) {
    return roundHalfEven(screen * pixelsPerInch / screenDpi);
}

int designAtResolution(int design, int fromPixelsPerInch, int toPixelsPerInch) {
    if (fromPixelsPerInch == toPixelsPerInch) return design;
    return roundHalfEven(double(design) * toPixelsPerInch / fromPixelsPerInch);
}

int designValueShownAt(int stored, int shown, int pixelsPerInch, double screenDpi) {
    if (screenFromDesign(stored, pixelsPerInch, screenDpi) == shown) return stored;
    return designFromScreen(shown, pixelsPerInch, screenDpi);
}
