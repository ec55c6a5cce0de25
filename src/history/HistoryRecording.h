#pragma once

#include <QString>

#include "history/PrintHistory.h"

class QWidget;

// The texts a print put on paper: the ten fields' texts as the template prints them, a hidden
// field's text left out (its item prints nothing).
WaybillTexts printedTexts(const WaybillTemplate& layout, const WaybillTexts& texts);

// The job of these pages on this template, not yet handed over: the courier and, per page,
// the texts it puts on paper.
PrintedJob composedJob(const WaybillTemplate& layout, const QList<WaybillTexts>& pages);

// A composed job (courier and texts) as handed to `printer` now by the command `origin`.
PrintedJob handedOver(PrintedJob composed, const QString& printer, const QString& origin);

// Records a job that has been handed to the printer, in the history at its usual place.
// Returns a null text when it was recorded, otherwise why not. Never raises: the print has
// happened whatever becomes of its record.
QString recordJob(const PrintedJob& job);

// The same for a window: a job that cannot be recorded is named to the user beside
// `messageParent`, saying that the print itself went to the printer.
void recordJobTellingUser(const PrintedJob& job, QWidget* messageParent);
// That message, for a job recorded elsewhere: nothing when `why` is null.
void tellUnrecorded(const QString& why, QWidget* messageParent);
