#pragma once

#include <QString>

#include "platform/AppError.h"

// The whole number a size or font-size text holds. Text that is not one raises an error the
// user sees, with the offending text quoted, instead of silently becoming 0.
inline int wholeNumberOf(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok) throw AppError(QStringLiteral("“%1”不是有效的整数。").arg(text));
    return value;
}
