#include "history/HistoryRecording.h"

#include "platform/MessageBoxes.h"
#include "printing/engine/TPageSource.h"

WaybillTexts printedTexts(const WaybillTemplate& layout, const WaybillTexts& texts) {
    WaybillTexts printed;
    for (const QString& name : PrintHistory::fieldNames()) {
        const TemplateField* field = layout.field(name);
        const QString text = texts.value(name);
        if (field && field->visible && !text.isEmpty()) printed.insert(name, text);
    }
    return printed;
}

PrintedJob composedJob(const WaybillTemplate& layout, const QList<WaybillTexts>& pages) {
    PrintedJob job;
    job.courier = layout.courier;
    for (const WaybillTexts& texts : pages) job.waybills << printedTexts(layout, texts);
    return job;
}

PrintedJob handedOver(PrintedJob composed, const QString& printer, const QString& origin) {
    composed.printedAt = QDateTime::currentDateTimeUtc();
    composed.printer = printer;
    composed.origin = origin;
    return composed;
}

QString recordJob(const PrintedJob& job) {
    return engine::errorOf([&] { PrintHistory(PrintHistory::defaultFilePath()).recordJob(job); });
}

void recordJobTellingUser(const PrintedJob& job, QWidget* messageParent) {
    tellUnrecorded(recordJob(job), messageParent);
}

void tellUnrecorded(const QString& why, QWidget* messageParent) {
    if (why.isNull()) return;
    MessageBoxes::warning(QStringLiteral("快递单已送往打印机，但未能记入打印记录。\n%1").arg(why),
                          messageParent);
}
