#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// The history as a spreadsheet opens it as it is: every cell in double quotes, and a text that a
// spreadsheet would take for a formula kept as text (the addresses come from shop systems where
// customers type their own).
QByteArray csvDocument(const QStringList& header, const QList<QStringList>& rows);
