#include "layout/CourierPictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>

#include "platform/AppEnvironment.h"
#include "platform/AppError.h"

namespace {
QByteArray formatOf(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.format().toLower();
}

[[noreturn]] void failStore(const QString& target) {
    throw AppError(QStringLiteral("无法保存图片文件“%1”。").arg(target));
}
}  // namespace

namespace CourierPictures {

QString fileNameOf(const QString& courier) {
    return courier + QStringLiteral(".jpg");
}

QString find(const QString& fileName) {
    for (const QString& folder : AppEnvironment::pictureFolders()) {
        const QString path = QDir(folder).filePath(fileName);
        if (QFileInfo(path).isFile()) return path;
    }
    return QString();
}

QString folderForAdded() {
    return AppEnvironment::isPortable() ? AppEnvironment::workingFolder()
                                        : AppEnvironment::userDataFolder();
}

bool isUsable(const QString& path) {
    const QByteArray format = formatOf(path);
    if (format != "jpeg" && format != "png") return false;
    QImageReader reader(path, format);
    return !reader.read().isNull();
}

QString store(const QString& source, const QString& courier) {
    const QString folder = folderForAdded();
    const QString target = QDir(folder).filePath(fileNameOf(courier));
    if (!QDir().mkpath(folder)) failStore(target);
    const QByteArray format = formatOf(source);
    QByteArray jpeg;
    if (format == "jpeg") {
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly)) failStore(target);
        jpeg = in.readAll();
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) failStore(target);
    if (format == "jpeg") {
        out.write(jpeg);
    } else {
        const QImage picture = QImageReader(source, format).read();
        if (picture.isNull() || !picture.save(&out, "JPEG", 95)) failStore(target);
    }
    if (!out.commit()) failStore(target);
    return target;
}

}  // namespace CourierPictures
