#include "printing/engine/EngineUnits.h"

#include "platform/AppError.h"
#include "platform/Rounding.h"

namespace engine {

namespace {
[[noreturn]] void charactersUnsupported() {
    throw AppError(QStringLiteral("The Characters unit mode is not supported"));
}
}  // namespace

double toInternal(double v, TUnitMode mode, double dpi, double zoom) {
    switch (mode) {
        case TUnitMode::MM:
            return v * kInternalPerMM;
        case TUnitMode::Inches:
            return v * kInternalPerInch;
        case TUnitMode::Pixels:
            return internalFromPixels(v, dpi, zoom);
        case TUnitMode::Native:
            return v;
        case TUnitMode::Characters:
            break;
    }
    charactersUnsupported();
}

double fromInternal(double x, TUnitMode mode, double dpi, double zoom) {
    switch (mode) {
        case TUnitMode::MM:
            return x / kInternalPerMM;
        case TUnitMode::Inches:
            return x / kInternalPerInch;
        case TUnitMode::Pixels:
            return pixelsFromInternal(x, dpi, zoom);
        case TUnitMode::Native:
            return x;
        case TUnitMode::Characters:
            break;
    }
    charactersUnsupported();
}

int screenPixels(double x, double dpi, double zoom) {
    return roundHalfEven(pixelsFromInternal(x, dpi, zoom));
}

}  // namespace engine
