#include "history/HistoryCsv.h"

#include <QRegularExpression>

namespace {

bool readAsFormula(const QString& text) {
    if (text.isEmpty()) return false;
    const QChar first = text.front();
    if (first == QLatin1Char('=') || first == QLatin1Char('@')) return true;
    if (first != QLatin1Char('+') && first != QLatin1Char('-')) return false;
    static const QRegularExpression telephone(QStringLiteral("^[-+0-9 ()]*$"));
    return !telephone.match(text).hasMatch();
}

}  // namespace

QString csvCell(const QString& text) {
    QString cell = text;
    cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    if (readAsFormula(text)) cell.prepend(QLatin1Char('\''));
    return QLatin1Char('"') + cell + QLatin1Char('"');
}

QByteArray csvDocument(const QStringList& header, const QList<QStringList>& rows) {
    QString text;
    const auto addLine = [&text](const QStringList& cells) {
        QStringList quoted;
        for (const QString& cell : cells) quoted << csvCell(cell);
        text += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    };
    addLine(header);
    for (const QStringList& row : rows) addLine(row);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
