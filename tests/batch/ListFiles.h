#pragma once

#include <QByteArray>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

// Order lists written for a test.
namespace listfiles {

// The text as a Chinese Windows program saves it (GBK, as part of GB18030).
inline QByteArray gbk(const QString& text) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

// Writes the bytes into `dir` under `name`; the file's path, empty when it cannot be written.
inline QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(bytes);
    return path;
}

}  // namespace listfiles
