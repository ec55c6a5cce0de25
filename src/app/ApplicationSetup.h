#pragma once

// What the program's entry sets on the application before the main window exists: its name,
// and deliberately no display name. Qt appends a set display name to every window caption on
// X11 and Wayland ("caption — name"); each window here carries its full caption itself.
void setUpApplication();
