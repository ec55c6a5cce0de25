#include "waybill/WaybillComposition.h"

#include <QFontMetrics>

#include "platform/AppError.h"
#include "printing/engine/TextLayout.h"

namespace {
// 0.1 mm per design pixel at P.
double internalPerDesignPixel(int pixelsPerInch) {
    return 254.0 / pixelsPerInch;
}
}  // namespace

QList<WaybillPrintItem> composeWaybill(const WaybillTemplate& layout, const WaybillTexts& texts) {
    if (layout.fontSize <= 0) throw AppError(QStringLiteral("请先选择字号。"));
    // The fit test measures with the main window's own face at the chosen size, as the layouts
    // were always calibrated that way; the item itself prints in the chosen face. It measures at
    // the field's resolution, so the answer is the same on every screen.
    QFont surfaceFont(QStringLiteral("Tahoma"));
    surfaceFont.setPointSize(layout.fontSize);

    QList<WaybillPrintItem> items;
    for (const TemplateField& f : layout.fields) {
        const double unit = internalPerDesignPixel(f.pixelsPerInch);
        const QFontMetrics surface(surfaceFont, engine::measuringDevice(f.pixelsPerInch));
        const QString text = texts.value(f.name);
        WaybillPrintItem item;
        item.name = QStringLiteral("lbl%1").arg(f.printNumber);
        item.left = (f.left + 4) * unit + layout.printOffsetX;
        item.top = (f.top + 4) * unit + layout.printOffsetY;
        if (f.width < surface.horizontalAdvance(text) + 20) {
            item.fixedBox = true;
            item.width = f.width * unit;
            item.height = 3 * f.height * unit;
        }
        item.caption = f.visible ? text : QString();
        item.fontName = layout.fontName;
        item.fontSize = layout.fontSize;
        items << item;
    }
    return items;
}
