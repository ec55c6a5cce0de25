#include "waybill/TemplateSetFile.h"

#include "app/WaybillFieldSpecs.h"
#include "template/ProfileFile.h"

namespace {
struct SetKeys {
    QString printer, height, width, fontName, fontSize, pixelsPerInch;
};

SetKeys keysOf(bool isDefault) {
    if (isDefault)
        return {"DefaultPrinterName", "DefaultLong",     "DefaultWide",
                "DefaultFontName",    "DefaultFontSize", "DefaultPixelsPerInch"};
    return {"PrinterName", "CurrentLong", "CurrentWide", "FontName", "FontSize", "PixelsPerInch"};
}

const WaybillFieldSpec* specOf(const QString& name) {
    for (const WaybillFieldSpec& spec : waybillFieldSpecs())
        if (spec.objectName().compare(name, Qt::CaseInsensitive) == 0) return &spec;
    return nullptr;
}

std::optional<int> storedInteger(const ProfileFile& ini, const QString& section,
                                 const QString& key) {
    return parseProfileInteger(ini.readString(section, key, QString()));
}

int pointSizeOf(const QString& text) {
    bool ok = false;
    const int size = text.trimmed().toInt(&ok);
    return ok && size > 0 ? size : 0;
}
}  // namespace

TemplateSet readTemplateSet(const ProfileFile& ini, const QString& courier, bool isDefault,
                            const WaybillTemplate& current, const QString& defaultPrinter) {
    const SetKeys keys = keysOf(isDefault);
    TemplateSet set;
    WaybillTemplate& layout = set.layout;
    layout.courier = courier;
    layout.printerName = ini.readString(courier, keys.printer, defaultPrinter);
    set.heightText = ini.readString(courier, keys.height, QStringLiteral("128"));
    set.widthText = ini.readString(courier, keys.width, QStringLiteral("230"));
    layout.heightMm = ini.readInteger(courier, keys.height, 128);
    layout.widthMm = ini.readInteger(courier, keys.width, 230);
    layout.fontName = ini.readString(courier, keys.fontName, QStringLiteral("宋体"));
    set.fontSizeText = ini.readString(courier, keys.fontSize, QStringLiteral("10"));
    layout.fontSize = pointSizeOf(set.fontSizeText);
    // Only a hand-edited file holds a resolution of 0 or less; it could place nothing.
    const int recorded = ini.readInteger(courier, keys.pixelsPerInch, kUnrecordedPixelsPerInch);
    layout.pixelsPerInch = recorded > 0 ? recorded : kUnrecordedPixelsPerInch;
    readPrintOffsets(ini, layout);

    for (const TemplateField& was : current.fields) {
        const WaybillFieldSpec* spec = specOf(was.name);
        if (!spec) continue;
        const auto top = storedInteger(ini, courier, spec->topKey(isDefault));
        const auto left = storedInteger(ini, courier, spec->leftKey(isDefault));
        const auto width = storedInteger(ini, courier, spec->widthKey(isDefault));
        TemplateField f = was;
        // A field without any key keeps its place, and the resolution it was made at, from the
        // template shown before. A field of this set takes the set's resolution; a key it lacks
        // keeps the current value re-expressed at that resolution.
        if (top || left || width) {
            const auto current = [&](int value) {
                return designAtResolution(value, was.pixelsPerInch, layout.pixelsPerInch);
            };
            f.top = top.value_or(current(was.top));
            f.left = left.value_or(current(was.left));
            f.width = width.value_or(current(was.width));
            // The height is never stored: it keeps its size on paper.
            f.height = current(was.height);
            f.pixelsPerInch = layout.pixelsPerInch;
        }
        f.visible = ini.readBool(courier, spec->visibleKey(isDefault), true);
        layout.fields << f;
    }
    return set;
}

void writeTemplateSet(ProfileFile& ini, bool isDefault, const TemplateSet& set) {
    const SetKeys keys = keysOf(isDefault);
    const WaybillTemplate& layout = set.layout;
    const QString& courier = layout.courier;
    // No printer chosen means the stored one is not installed here: it keeps its place.
    if (!layout.printerName.isEmpty()) ini.writeString(courier, keys.printer, layout.printerName);
    ini.writeString(courier, keys.height, set.heightText);
    ini.writeString(courier, keys.width, set.widthText);
    ini.writeString(courier, keys.fontName, layout.fontName);
    ini.writeString(courier, keys.fontSize, set.fontSizeText);
    for (const WaybillFieldSpec& spec : waybillFieldSpecs()) {
        if (const TemplateField* f = layout.field(spec.objectName())) {
            // Only a field inherited from another template can be at another resolution; its
            // keys are new to this set.
            const auto atSet = [&](int value) {
                return designAtResolution(value, f->pixelsPerInch, layout.pixelsPerInch);
            };
            ini.writeInteger(courier, spec.topKey(isDefault), atSet(f->top));
            ini.writeInteger(courier, spec.leftKey(isDefault), atSet(f->left));
            ini.writeInteger(courier, spec.widthKey(isDefault), atSet(f->width));
        }
    }
    ini.writeInteger(courier, keys.pixelsPerInch, layout.pixelsPerInch);
}

QString printerKey(bool isDefault) {
    return keysOf(isDefault).printer;
}

namespace {
const QString kPrintOffsetX = QStringLiteral("PrintOffsetX");
const QString kPrintOffsetY = QStringLiteral("PrintOffsetY");
}  // namespace

void readPrintOffsets(const ProfileFile& ini, WaybillTemplate& layout) {
    layout.printOffsetX = ini.readInteger(layout.courier, kPrintOffsetX, 0);
    layout.printOffsetY = ini.readInteger(layout.courier, kPrintOffsetY, 0);
}

void writePrintOffsets(ProfileFile& ini, const QString& courier, int offsetX, int offsetY) {
    ini.writeInteger(courier, kPrintOffsetX, offsetX);
    ini.writeInteger(courier, kPrintOffsetY, offsetY);
}
