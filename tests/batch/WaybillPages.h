#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "support/CupsPdf.h"
#include "waybill/WaybillComposition.h"

// Where the items of a waybill can put ink on its page rendered at 0.1 mm per pixel: each
// item's box, as wide as its field and three field-heights high, 1 mm in from the paper's
// corner (the page's margins).
inline QList<QRect> itemAreas(const WaybillTemplate& layout, const WaybillTexts& texts) {
    QList<QRect> areas;
    const QList<WaybillPrintItem> items = composeWaybill(layout, texts);
    for (int i = 0; i < items.size(); ++i) {
        const TemplateField& f = layout.fields[i];
        const double unit = 254.0 / f.pixelsPerInch;
        areas << QRectF(10 + items[i].left, 10 + items[i].top, f.width * unit, 3 * f.height * unit)
                     .toAlignedRect();
    }
    return areas;
}

// Compares two pages item by item: the ink of each area must lie within `pixels` (0.1 mm) of
// the other's. Returns what differs, empty when nothing does.
inline QString differingItems(const QImage& got, const QImage& expected, const QList<QRect>& areas,
                              int pixels = 1) {
    if (got.isNull() || expected.isNull()) return QStringLiteral("a page is missing");
    QString differences;
    int inked = 0;
    for (const QRect& area : areas) {
        const QRect a = CupsPdf::inkBox(got, area);
        const QRect b = CupsPdf::inkBox(expected, area);
        if (!b.isEmpty()) ++inked;
        const bool same = a.isEmpty() == b.isEmpty() &&
                          (a.isEmpty() || (std::abs(a.left() - b.left()) <= pixels &&
                                           std::abs(a.top() - b.top()) <= pixels &&
                                           std::abs(a.right() - b.right()) <= pixels &&
                                           std::abs(a.bottom() - b.bottom()) <= pixels));
        if (!same)
            differences += QStringLiteral(
                               "area (%1, %2): ink at (%3, %4)-(%5, %6), expected "
                               "(%7, %8)-(%9, %10); ")
                               .arg(area.left())
                               .arg(area.top())
                               .arg(a.left())
                               .arg(a.top())
                               .arg(a.right())
                               .arg(a.bottom())
                               .arg(b.left())
                               .arg(b.top())
                               .arg(b.right())
                               .arg(b.bottom());
    }
    if (inked == 0) differences += QStringLiteral("the expected page has no ink at all");
    return differences;
}

// Puts a row's texts into the main window's fields (an absent field is emptied).
inline void showTexts(TEXPDPrintForm& form, const WaybillTexts& texts) {
    for (WaybillField* f : form.bandFields()) f->setText(texts.value(f->objectName()));
}

// A row with a text in every field, the address long enough to be broken into lines.
inline WaybillTexts fullRow(int k) {
    return {{"cbb1", QStringLiteral("李寄件%1").arg(k)},
            {"cbb2", QStringLiteral("杭州")},
            {"cbb3", QStringLiteral("浙江省杭州市西湖区文三路%1号").arg(k)},
            {"cbb4", QStringLiteral("0571-8800%1").arg(k, 4, 10, QLatin1Char('0'))},
            {"cbb5", QStringLiteral("杭州小店")},
            {"cbb11", QStringLiteral("张收件%1").arg(k)},
            {"cbb22", QStringLiteral("北京")},
            {"cbb33", QStringLiteral("北京市海淀区中关村大街%1号院三号楼五单元二层东户").arg(k)},
            {"cbb44", QStringLiteral("1380013%1").arg(k, 4, 10, QLatin1Char('0'))},
            {"cbb55", QStringLiteral("北京某某科技有限公司")}};
}

// Whether a PDF file has been written to its end: cups-pdf writes the pages first and the
// fonts last, so a file that already counts all its pages may still lack its fonts.
inline bool isWholePdf(const QString& pdf, int pages) {
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 64) return false;
    file.seek(file.size() - 64);
    const qint64 size = file.size();
    return file.readAll().trimmed().endsWith("%%EOF") && CupsPdf::pageCount(pdf) == pages &&
           (QTest::qWait(300), QFileInfo(pdf).size() == size);
}

// The PDF cups-pdf made for the job `title`, once it holds all its `pages` and has been
// written to its end; empty when none came within a minute.
inline QString waitForWholePdf(const QString& title, const QDateTime& since, int pages) {
    const QString pdf = CupsPdf::waitForPdf(title, since);
    if (pdf.isEmpty()) return {};
    QElapsedTimer timer;
    timer.start();
    while (!isWholePdf(pdf, pages) && timer.elapsed() < 60000) QTest::qWait(200);
    return isWholePdf(pdf, pages) ? pdf : QString();
}
