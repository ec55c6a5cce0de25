#include "platform/ScreenScale.h"

#include "platform/AppEnvironment.h"
#include "platform/Rounding.h"

int scaledToScreen(int designPixels, double designDpi) {
    return roundHalfEven(designPixels * AppEnvironment::screenDpi() / designDpi);
}
