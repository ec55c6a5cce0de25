#pragma once

#include <QMainWindow>

// The main window: the courier's form at true size with the ten fields over it, and around it
// the size, font, courier, printer, picker and template controls.
class TEXPDPrintForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TEXPDPrintForm(QWidget* parent = nullptr);
};
