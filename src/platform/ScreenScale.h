#pragma once

// Windows laid out at design time for a screen of `designDpi` pixels per inch follow the screen
// the program runs on: a design length in pixels times AppEnvironment::screenDpi() / designDpi,
// rounded half to even. Without this a fixed-size dialog keeps its pixel size while its text
// grows with the screen's resolution, and what fitted at design no longer does.
int scaledToScreen(int designPixels, double designDpi = 96.0);
