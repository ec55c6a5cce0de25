#include "printing/PreviewPlacement.h"

#include <algorithm>

namespace {
// The start of a span of `length` that begins at `wish` but stays within [low, high].
int clampedStart(int wish, int length, int low, int high) {
    return std::max(low, std::min(wish, high - length + 1));
}
}  // namespace

QRect previewPlacement(const QRect& mainFrame, const QRect& keepClear, const QSize& wanted,
                       const QRect& screen) {
    const int width = std::min(wanted.width(), screen.width());
    const int height = std::min(wanted.height(), screen.height());
    const int besideTop = clampedStart(mainFrame.top(), height, screen.top(), screen.bottom());
    if (screen.right() - mainFrame.right() >= width)
        return {mainFrame.right() + 1, besideTop, width, height};
    if (mainFrame.left() - screen.left() >= width)
        return {mainFrame.left() - width, besideTop, width, height};

    const int left = clampedStart(mainFrame.left(), width, screen.left(), screen.right());
    const int roomBelow = screen.bottom() - keepClear.bottom();
    const int roomAbove = keepClear.top() - screen.top();
    if (roomBelow >= roomAbove)
        return {left, keepClear.bottom() + 1, width, std::min(height, roomBelow)};
    const int above = std::min(height, roomAbove);
    return {left, keepClear.top() - above, width, above};
}
