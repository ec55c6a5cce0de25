#pragma once

#include <QString>

#include "waybill/WaybillTemplate.h"

class ProfileFile;

// A template's working set (isDefault false) or default set (true) as the settings file holds
// it, in the courier's section. The keys are the old program's; each set also records the
// resolution its positions were made at (PixelsPerInch / DefaultPixelsPerInch), and the section
// holds the print offsets that move the whole print on paper (PrintOffsetX / PrintOffsetY, 0.1
// mm, for both sets).
struct TemplateSet {
    WaybillTemplate layout;
    // The size and font-size texts as stored: the main window's edits and picker show them as
    // they are, whole number or not.
    QString heightText;
    QString widthText;
    QString fontSizeText;
};

// Reads a set. A field without keys keeps its place and resolution from `current` (the template
// shown before); a key that is absent for a field that has others keeps the value of `current`
// re-expressed at the set's resolution, so that it keeps its place on paper. The printer defaults
// to `defaultPrinter`, the size to 128 × 230 mm, the font to "宋体" 10, visibility to shown. Fields
// of `current` that have no keys (pasted copies) are not part of a stored set and are dropped.
// Reads only; nothing is written.
TemplateSet readTemplateSet(const ProfileFile& ini, const QString& courier, bool isDefault,
                            const WaybillTemplate& current, const QString& defaultPrinter);

// Writes a set in the old program's order (printer, height, width, font face, font size, then
// Top, Left, Width of each of the ten fields, at the set's resolution), then that resolution.
// Fields that have no keys (pasted copies) and fields missing from the layout are not written.
// Visibility and the print offsets are not part of a save.
void writeTemplateSet(ProfileFile& ini, bool isDefault, const TemplateSet& set);

// The key of a set's printer name, which the template load writes back when the stored printer
// is not installed.
QString printerKey(bool isDefault);

// The print offsets stored for a courier (0.1 mm, 0 when absent).
void readPrintOffsets(const ProfileFile& ini, WaybillTemplate& layout);
// Stores a courier's print offsets (0.1 mm, signed) in its section.
void writePrintOffsets(ProfileFile& ini, const QString& courier, int offsetX, int offsetY);
