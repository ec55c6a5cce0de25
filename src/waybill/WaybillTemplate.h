#pragma once

#include <QHash>
#include <QList>
#include <QString>

// A waybill as data: the template a courier's form is printed with, and the texts that go on
// it. Nothing here knows a widget; the main window shows a template, the print composition
// turns a template and its texts into print items.
//
// Positions are design pixels: whole pixels of the band at the resolution P the template's set
// was made at (the settings file records P as PixelsPerInch / DefaultPixelsPerInch; a set
// without it was made at 120, the resolution the design layout and the drawn forms assume).
// One design pixel is 25.4 ÷ P mm on paper, whatever screen the program runs on.

// The resolution of a set that does not record one.
inline constexpr int kUnrecordedPixelsPerInch = 120;

struct TemplateField {
    QString name;         // "cbb1" … "cbb55", or the generated name of a pasted copy
    int printNumber = 0;  // n of its print item "lbl<n>": its place among the band's children
    int left = 0;         // design pixels, relative to the band's top-left corner
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = true;
    // The resolution of this field's design pixels: the set's, unless the field was inherited
    // from the template shown before, whose set had no keys for it.
    int pixelsPerInch = kUnrecordedPixelsPerInch;
};

struct WaybillTemplate {
    QString courier;  // display name: the section in the settings file
    QString printerName;
    int heightMm = 128;
    int widthMm = 230;
    QString fontName;
    int fontSize = 10;  // points; 0 when none is chosen
    // The resolution the set records; a save writes every field at it.
    int pixelsPerInch = kUnrecordedPixelsPerInch;
    // Moves every print item on paper, never the fields on screen (0.1 mm, signed).
    int printOffsetX = 0;
    int printOffsetY = 0;
    // In the order of the band's children, which is the order the items are printed.
    QList<TemplateField> fields;

    const TemplateField* field(const QString& name) const;
    TemplateField* field(const QString& name);

    // The ten fields at their design places (P = 120), in the band's start-up order, each with
    // the print number of its place there (the picture is child 0).
    static WaybillTemplate designed();
};

// A waybill's texts by field name; a field without an entry is empty.
using WaybillTexts = QHash<QString, QString>;

// Design pixels at P shown on a screen of R pixels per inch, and back; both rounded to whole
// pixels, halves to even.
int screenFromDesign(int design, int pixelsPerInch, double screenDpi);
int designFromScreen(int screen, int pixelsPerInch, double screenDpi);

// A design value re-expressed at another resolution, so that it keeps its place on paper.
int designAtResolution(int design, int fromPixelsPerInch, int toPixelsPerInch);

// The design value of a coordinate the screen shows at `shown`: the stored value as long as the
// screen still shows it where the stored value puts it, so that loading and saving never moves
// anything; the shown place converted back only once the user has moved it.
int designValueShownAt(int stored, int shown, int pixelsPerInch, double screenDpi);
