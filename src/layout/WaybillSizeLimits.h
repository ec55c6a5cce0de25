#pragma once

#include <QString>

// Waybills are hand-sized forms: a few millimetres print a blank scrap, a metre a poster, and
// neither is what the user meant. Printing refuses such a size and a new courier cannot have one.
inline constexpr int kSmallestWaybillMm = 20;
inline constexpr int kLargestWaybillMm = 600;

inline constexpr bool isPrintableWaybillLength(int mm) {
    return mm >= kSmallestWaybillMm && mm <= kLargestWaybillMm;
}

// Why a waybill of this size is not printed (empty when it is printable).
inline QString unprintableSizeText(int heightMm, int widthMm) {
    if (isPrintableWaybillLength(heightMm) && isPrintableWaybillLength(widthMm)) return {};
    return QStringLiteral(
               "快递单尺寸 %1 × %2 毫米（高 × 宽）无法打印：高和宽都须在 %3 到 %4 "
               "毫米之间。")
        .arg(heightMm)
        .arg(widthMm)
        .arg(kSmallestWaybillMm)
        .arg(kLargestWaybillMm);
}
