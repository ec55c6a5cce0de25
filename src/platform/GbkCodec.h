#pragma once

#include <QStringDecoder>

// The converter for Chinese text that is not UTF-8. GB18030 is GBK plus the rest of Unicode;
// GBK is only the fall-back should a QtCore without the GB18030 converter ever be used.
inline const char* gbkCodecName() {
    static const char* name = [] {
        QStringDecoder probe("GB18030");
        return probe.isValid() ? "GB18030" : "GBK";
    }();
    return name;
}
