#pragma once

#include <QString>
#include <functional>

class TReportBand;

// A print of many pages in one document (TReportPage::PrintPages): the caller supplies the
// pages one at a time, so that only one page's items exist at any moment, however many pages
// the job has.
struct TPageSource {
    // How many pages the job has.
    int pageCount = 0;
    // Puts the text items of page `index` (0-based) on the band, as a single print would have
    // them. The engine prints them on that page only and deletes them before it asks for the
    // next page; items that lay on the band before the job began print on every page. An
    // exception thrown here ends the job (see TPagesPrinted).
    std::function<void(int index, TReportBand& band)> composePage;
    // Optional: called after each page has been drawn, with the pages drawn so far and the total.
    std::function<void(int drawn, int total)> progress;
    // Optional: asked before each page (pending events are handled first, so a cancel button
    // can be pressed); true ends the job after the pages drawn so far.
    std::function<bool()> cancelRequested;
};

// How a print of many pages ended.
struct TPagesPrinted {
    enum class Outcome { Completed, Cancelled, Failed };
    Outcome outcome = Outcome::Completed;
    // The pages handed to the printer, always the first ones in order: every page on a
    // completed job; the pages drawn before a cancel or before the composer failed (the
    // document is ended with them). A printer error aborts the document: 0.
    int pagesPrinted = 0;
    // The error's text when the outcome is Failed.
    QString error;
};

namespace engine {
// Runs fn; the text of what it throws (as TPagesPrinted::error reports it), a null string when
// it returns normally.
QString errorOf(const std::function<void()>& fn);
}  // namespace engine
