#pragma once

// For a run that shows no window (the command-line print): when no display is there to
// connect to and the user chose no Qt platform, use Qt's offscreen platform, which measures
// and prints texts all the same. Call before the QApplication is made.
void chooseHeadlessPlatformWithoutDisplay();
