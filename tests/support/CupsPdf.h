#pragma once

#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// Reading back what the cups-pdf queue "PDF" printed (scripts/start-cups.sh sets it up): find
// the job's PDF and measure its ink at 254 pixels per inch, so one pixel is 0.1 mm.
namespace CupsPdf {

struct Ink {
    QRect box;   // 0.1 mm from the page's top-left corner
    QSize page;  // 0.1 mm
};

// cups-pdf's Out folders: the configured one with ${HOME} for the users a job may run as, and
// the anonymous folder.
QStringList outFolders();
// The PDFs cups-pdf has made since `since` for jobs of this title, as they are now.
QStringList pdfsFor(const QString& title, const QDateTime& since);
// The PDF cups-pdf made for a job of this title (it mangles the name, so we look for its
// letters) once cups-pdf has finished writing it, waiting up to a minute; empty when none came.
QString waitForPdf(const QString& title, const QDateTime& since);
// The bounding box of the dark pixels of the first page; an empty box for a blank page.
Ink measureInk(const QString& pdf);
// Page `page` (1-based) rendered at 254 pixels per inch in grey; a null image when it cannot be.
QImage renderPage(const QString& pdf, int page);
// The bounding box of the dark pixels of an image within `area` (all of it when empty).
QRect inkBox(const QImage& image, const QRect& area = QRect());
// The number of pages of a PDF (pdfinfo); 0 when it cannot be read.
int pageCount(const QString& pdf);
// How far CUPS moved the content: Qt writes the page rounded to whole points, CUPS cuts a
// custom size to whole points below and keeps the content centred, so everything moves by
// half the difference (0.1 mm, for a page of the given millimetres).
QSizeF centringShift(const QSizeF& pageMillimetres, const QSize& printedPage);

}  // namespace CupsPdf
