#pragma once

#include <QFont>
#include <QStringList>
#include <functional>

class QPaintDevice;

enum class TWrapStyle { BreakOnSpaces, BreakAnywhere };

namespace engine {

// The width of a text in pixels of the measuring device.
using TextWidth = std::function<double(const QString&)>;

// Splits a caption into its lines: at carriage returns, with line feeds dropped.
QStringList captionLines(const QString& caption);

// The output lines of a text item:
// - autoSize: every caption line is one output line;
// - otherwise, with wordWrap, each caption line is broken to fit `boxWidth`: BreakAnywhere
//   between any two characters, BreakOnSpaces after spaces (a word longer than the box broken
//   inside); without wordWrap every caption line is one output line.
// A final output line that is empty or blank is dropped.
QStringList layoutLines(const QString& caption, bool autoSize, bool wordWrap, TWrapStyle style,
                        double boxWidth, const TextWidth& width);

// A paint device of `dpi` pixels per inch, for measuring text as a device of that resolution
// draws it (the screen at R for the page control and the recorded page pictures).
QPaintDevice* measuringDevice(double dpi);

// The line height of a font on a device: the text height of "W".
int lineHeight(const QFont& font, QPaintDevice* device);

}  // namespace engine
