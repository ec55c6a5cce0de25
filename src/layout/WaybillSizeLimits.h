#pragma once

// Waybills are hand-sized forms: a few millimetres print a blank scrap, a metre a poster, and
// neither is what the user meant. Printing refuses such a size and a new courier cannot have one.
inline constexpr int kSmallestWaybillMm = 20;
inline constexpr int kLargestWaybillMm = 600;

inline constexpr bool isPrintableWaybillLength(int mm) {
    return mm >= kSmallestWaybillMm && mm <= kLargestWaybillMm;
}
