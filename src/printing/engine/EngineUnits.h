#pragma once

// The page engine's units. Every length the engine keeps (page values, band size, item bounds)
// is a double in 0.1 mm, the internal unit. Values are read and written through a unit mode;
// conversions into internal units are never rounded. Only where a length becomes a whole
// number (screen pixels, device pixels, paper offsets) is it rounded, halves to even, with
// roundHalfEven() of platform/Rounding.h.

enum class TUnitMode { MM, Inches, Pixels, Characters, Native };

namespace engine {

constexpr double kInternalPerMM = 10.0;
constexpr double kInternalPerInch = 254.0;

// Pixels at a screen of `dpi` pixels per inch and a page zoom of `zoom` percent. The order of
// the floating-point operations is the design's, so that results agree to the last bit:
//   x from v = v × (254 ÷ R) ÷ Z × 100,   v from x = x ÷ (254 ÷ R) × Z ÷ 100.
inline double internalFromPixels(double px, double dpi, double zoom) {
    return px * (kInternalPerInch / dpi) / zoom * 100.0;
}
inline double pixelsFromInternal(double x, double dpi, double zoom) {
    return x / (kInternalPerInch / dpi) * zoom / 100.0;
}

// Converts a value v read or written in `mode` to internal units and back. The Characters
// mode (character cells of the page's font) is not supported: nothing in the program uses it,
// and both functions raise an AppError for it.
double toInternal(double v, TUnitMode mode, double dpi, double zoom);
double fromInternal(double x, TUnitMode mode, double dpi, double zoom);

// Whole screen pixels for an internal length: Rnd(pixelsFromInternal(x)).
int screenPixels(double x, double dpi, double zoom);

}  // namespace engine
