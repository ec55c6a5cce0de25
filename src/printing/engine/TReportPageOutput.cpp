#include "printing/engine/TReportJob.h"
#include "printing/engine/TReportPage.h"

// Preview and printing of the page (Part 6.5); being built.
TReportJob* TReportPage::reportJob() const {
    return m_reportJob.data();
}
void TReportPage::Preview() {}
void TReportPage::Print() {}
void TReportPage::releaseJob(TReportJob*) {}
void TReportPage::printInto(TReportJob*) {}
