#pragma once

#include <QList>
#include <QString>

#include "waybill/WaybillTemplate.h"

// One text item of the page engine as the composition asks for it. Lengths are in the engine's
// internal unit, 0.1 mm, from the band's top-left corner (which the page puts 1 mm from the
// paper's left and top edges).
struct WaybillPrintItem {
    QString name;  // "lbl<n>", n being the field's place among the band's children
    double left = 0;
    double top = 0;
    // A text wider than its field is printed in a fixed box broken at any character; otherwise
    // the item takes the size of its text and width and height are unused.
    bool fixedBox = false;
    double width = 0;
    double height = 0;
    QString caption;
    QString fontName;  // empty: the engine's default face
    int fontSize = 0;  // points
};

// The one composition of a waybill: an item per field, 4 design pixels right of and below the
// field, carrying the field's text (nothing for a hidden field), moved on paper by the
// template's print offsets. A text wider than its field less 20 design pixels, measured in the
// main window's face "Tahoma" at the chosen size and at the template's resolution, becomes a
// box as wide as the field and three field-heights high. Nothing depends on the screen.
// Throws AppError when the template has no font size.
QList<WaybillPrintItem> composeWaybill(const WaybillTemplate& layout, const WaybillTexts& texts);
