#pragma once

#include <QList>

class QLabel;
class QStatusBar;

// The status strip along the bottom of the main and preview windows: four panels 50, 300, 200
// and 50 pixels wide, the first empty, the others the program's contact texts.
QList<QLabel*> addContactPanels(QStatusBar* bar);
