#include "support/CupsPdf.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace CupsPdf {

QStringList outFolders() {
    QStringList homes{QDir::homePath()};
    if (const passwd* pw = getpwuid(getuid())) homes << QString::fromLocal8Bit(pw->pw_dir);
    homes << "/root";
    QString out = "${HOME}/PDF";
    QString anon = "/var/spool/cups-pdf/ANONYMOUS";
    QFile conf("/etc/cups/cups-pdf.conf");
    if (conf.open(QIODevice::ReadOnly)) {
        for (const QString& raw : QString::fromLocal8Bit(conf.readAll()).split('\n')) {
            const QString line = raw.trimmed();
            if (line.startsWith("Out ")) out = line.mid(4).trimmed();
            if (line.startsWith("AnonDirName ")) anon = line.mid(12).trimmed();
        }
    }
    QStringList folders;
    for (const QString& home : homes) {
        QString folder = out;
        folder.replace("${HOME}", home);
        folder.replace("${USER}", QString::fromLocal8Bit(qgetenv("USER")));
        folders << folder;
    }
    folders << anon;
    folders.removeDuplicates();
    return folders;
}

QStringList pdfsFor(const QString& title, const QDateTime& since) {
    QStringList found;
    for (const QString& folder : outFolders()) {
        QDirIterator it(folder, {"*.pdf"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            if (info.fileName().contains(title) && info.lastModified() >= since.addSecs(-2) &&
                info.size() > 0)
                found << info.absoluteFilePath();
        }
    }
    return found;
}

QString waitForPdf(const QString& title, const QDateTime& since) {
    QElapsedTimer timer;
    timer.start();
    // cups-pdf writes the file while we look: it counts as done once its size has stayed the
    // same over a poll, so that a half-written PDF is never measured.
    qint64 lastSize = -1;
    while (timer.elapsed() < 60000) {
        const QStringList found = pdfsFor(title, since);
        if (!found.isEmpty()) {
            const qint64 size = QFileInfo(found.first()).size();
            if (size == lastSize) return found.first();
            lastSize = size;
        }
        QTest::qWait(200);
    }
    return {};
}

QImage renderPage(const QString& pdf, int page) {
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty()) return {};
    QTemporaryDir dir;
    const QString base = dir.filePath("page");
    const QString number = QString::number(page);
    QProcess p;
    p.start(pdftoppm, {"-r", "254", "-gray", "-f", number, "-l", number, "-singlefile", pdf, base});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QImage(base + ".pgm").convertToFormat(QImage::Format_Grayscale8);
}

QRect inkBox(const QImage& image, const QRect& area) {
    const QRect within = area.isEmpty() ? image.rect() : area.intersected(image.rect());
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = within.left(); x <= within.right(); ++x) {
            if (row[x] >= 128) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return right >= 0 ? QRect(QPoint(left, top), QPoint(right, bottom)) : QRect();
}

Ink measureInk(const QString& pdf) {
    Ink ink;
    const QImage image = renderPage(pdf, 1);
    if (image.isNull()) return ink;
    ink.page = image.size();
    ink.box = inkBox(image);
    return ink;
}

int pageCount(const QString& pdf) {
    QProcess p;
    p.start(QStandardPaths::findExecutable("pdfinfo"), {pdf});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return 0;
    for (const QString& line : QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return 0;
}

QSizeF centringShift(const QSizeF& pageMillimetres, const QSize& printedPage) {
    const QSizeF qtPoints = QPageSize(pageMillimetres, QPageSize::Millimeter).sizePoints();
    const QSizeF printedPoints(std::round(printedPage.width() / 254.0 * 72),
                               std::round(printedPage.height() / 254.0 * 72));
    return {(qtPoints.width() - printedPoints.width()) / 2 * 254 / 72,
            (qtPoints.height() - printedPoints.height()) / 2 * 254 / 72};
}

}  // namespace CupsPdf
