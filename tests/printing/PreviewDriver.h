#pragma once

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/TEXPDPrintForm.h"
#include "printing/TEXPDPreview.h"
#include "printing/engine/TReportJob.h"
#include "printing/engine/TReportPreview.h"

// "预览" stays inside the page's preview loop until the preview window closes, so what a test
// does in the preview runs from a timer inside that loop, once the page is composed. The
// window is closed afterwards whatever happened, so a failing check never hangs the test.
inline bool runInPreview(TEXPDPrintForm& form, const std::function<void(TEXPDPreview&)>& body) {
    bool ran = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (ran) return;
        TReportJob* job = ActivePreview ? ActivePreview->ReportPreview1->reportJob() : nullptr;
        const bool ready = job && job->status() == TJobStatus::mpFinished;
        if (!ready) {
            if (clock.elapsed() > 10000 && ActivePreview) ActivePreview->close();
            return;
        }
        ran = true;
        poll.stop();
        const auto closeAfterwards = qScopeGuard([] {
            if (ActivePreview) ActivePreview->close();
        });
        // Let the window finish its first layout, which re-fits the page.
        if (!QTest::qWaitForWindowExposed(ActivePreview.data())) qWarning("preview not exposed");
        QTest::qWait(20);
        if (ActivePreview) body(*ActivePreview);
    });
    poll.start();
    QTest::mouseClick(form.btn1, Qt::LeftButton);
    return ran;
}
