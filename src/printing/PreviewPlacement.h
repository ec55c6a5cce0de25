#pragma once

#include <QRect>
#include <QSize>

// Where the preview window opens. It stays on top of the main window, so it must leave the
// main window's printer controls (the printer picker, "默认打印机", "打印", "预览") in reach: a
// user chooses another printer between two prints from the preview without moving it.
//
// All rectangles are global screen coordinates. `mainFrame` is the main window's frame,
// `keepClear` the rectangle of its printer controls, `wanted` the preview's size and
// `screen` the screen's available area. The preview goes beside the main window (right, then
// left) when the screen has room for it whole; otherwise above or below `keepClear`, on the side
// with more room, as large as that side allows, so it covers part of the main window only.
QRect previewPlacement(const QRect& mainFrame, const QRect& keepClear, const QSize& wanted,
                       const QRect& screen);
