#pragma once

class QComboBox;
class QStyle;

// The main window's pickers open their list as a drop-down list below the picker, as wide as
// its widest entry, instead of the menu over the picker that Qt's default style on Linux shows.
// That menu reserves a check-mark column and keeps the picker's width, so in a narrow picker
// "10" lost its second digit and a face name its end.

// The style that makes a combo box's list drop down below it. One for the process, owned by
// the application, so that it outlives every picker.
QStyle* dropDownListStyle();

// Gives `list` the drop-down style and makes its open list wide enough for every entry it
// holds now, scroll bar included. Measures every entry: for short, fixed lists.
void fitDropDownListToEntries(QComboBox* list);
