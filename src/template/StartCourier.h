#pragma once

#include "template/ProfileFile.h"

// The courier the program opens with: one key of a section of its own (which is no template),
// 龙邦快递 while unset.
inline QString startCourierSection() {
    return QStringLiteral("DefaultExpress");
}

inline QString readStartCourier(const ProfileFile& ini) {
    return ini.readString(startCourierSection(), QStringLiteral("DefaultExpressD"),
                          QStringLiteral("龙邦快递"));
}

inline void writeStartCourier(ProfileFile& ini, const QString& courier) {
    ini.writeString(startCourierSection(), QStringLiteral("DefaultExpressD"), courier);
}
