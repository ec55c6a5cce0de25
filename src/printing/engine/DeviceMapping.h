#pragma once

#include <QRect>

#include "platform/Rounding.h"

// The mapping of internal units (0.1 mm from the paper's left or top edge) onto a device:
// x = Rnd((v − W_x) × F_x), y = Rnd((v − W_y) × F_y), a size s maps to Rnd(s × F).
// F is the device's pixels per 0.1 mm; W the offset of the device's origin from the paper's
// edge, in whole 0.1 mm.
struct TDeviceMapping {
    double fx = 1;
    double fy = 1;
    double wx = 0;
    double wy = 0;

    int x(double v) const { return roundHalfEven((v - wx) * fx); }
    int y(double v) const { return roundHalfEven((v - wy) * fy); }
    int width(double s) const { return roundHalfEven(s * fx); }
    int height(double s) const { return roundHalfEven(s * fy); }
    QRect rect(double left, double top, double w, double h) const {
        return {x(left), y(top), width(w), height(h)};
    }

    // A recorded page at the screen's resolution: F = R ÷ 254, W = 0.
    static TDeviceMapping forScreen(double dpi) { return {dpi / 254.0, dpi / 254.0, 0, 0}; }
    // A printer of dpiX × dpiY whose printable area (the device's origin) starts offsetX,
    // offsetY device pixels from the paper's left and top edges: W = Rnd(offset ÷ dpi × 254).
    static TDeviceMapping forPrinter(double dpiX, double dpiY, double offsetX, double offsetY) {
        return {dpiX / 254.0, dpiY / 254.0, double(roundHalfEven(offsetX / dpiX * 254.0)),
                double(roundHalfEven(offsetY / dpiY * 254.0))};
    }

    // The device rectangle into which a recorded page of pageWidth × pageLength (internal
    // units) is stretched: from (−Rnd(W_x × F_x), −Rnd(W_y × F_y)) to
    // (Rnd((pageWidth − W_x) × F_x), Rnd((pageLength − W_y) × F_y)).
    QRect pageRect(double pageWidth, double pageLength) const {
        const QPoint topLeft(-roundHalfEven(wx * fx), -roundHalfEven(wy * fy));
        const QPoint bottomRight(roundHalfEven((pageWidth - wx) * fx),
                                 roundHalfEven((pageLength - wy) * fy));
        return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
    }
};
