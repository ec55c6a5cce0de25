#pragma once

#include <QTest>

#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportLabel.h"
#include "printing/engine/TReportPage.h"
#include "support/RecordingPrinterBackend.h"

// The main window's page with one print item at band pixel (172, 91), as the print command
// makes it for cbb1 at its design place.
struct OneItemPage {
    TReportPage page;
    TReportBand* band;
    TReportLabel* item;

    explicit OneItemPage(bool showProgress = true) {
        page.setShowProgress(showProgress);
        band = new TReportBand(&page);
        band->setSizeValue(0, 126);
        item = new TReportLabel(band);
        item->setObjectName("lbl1");
        item->setLeft(172);
        item->setTop(91);
        item->setCaption("Zhang San");
        item->setFontSize(10);
    }
};

// A recording printer with the given resolution and printable-area offsets (device pixels).
inline RecordingPrinterBackend::Printer testPrinter(const QString& name, double dpiX, double dpiY,
                                                    double offsetX, double offsetY) {
    RecordingPrinterBackend::Printer p;
    p.name = name;
    p.dpiX = dpiX;
    p.dpiY = dpiY;
    p.offsetX = offsetX;
    p.offsetY = offsetY;
    return p;
}

// Whether a page drawn on a recording printer equals another to the device pixel: the same
// texts at the same baselines in the same sizes, the same fills.
inline void compareDrawnPages(const RecordingPrinterBackend::Page& got,
                              const RecordingPrinterBackend::Page& expected) {
    QCOMPARE(got.texts.size(), expected.texts.size());
    for (int i = 0; i < expected.texts.size(); ++i) {
        QCOMPARE(got.texts[i].text, expected.texts[i].text);
        QCOMPARE(got.texts[i].baseline, expected.texts[i].baseline);
        QCOMPARE(got.texts[i].font.pointSizeF(), expected.texts[i].font.pointSizeF());
    }
    QCOMPARE(got.fills.size(), expected.fills.size());
    for (int i = 0; i < expected.fills.size(); ++i)
        QCOMPARE(got.fills[i].rect, expected.fills[i].rect);
}
