#include "printing/engine/TextLayout.h"

#include <QFontMetricsF>
#include <QImage>
#include <map>
#include <memory>

namespace engine {

QStringList captionLines(const QString& caption) {
    QString text = caption;
    text.remove(QLatin1Char('\n'));
    return text.split(QLatin1Char('\r'));
}

namespace {

bool isBlank(const QString& line) {
    return line.trimmed().isEmpty();
}

void breakAnywhere(const QString& line, double boxWidth, const TextWidth& width, QStringList& out) {
    QString current;
    for (const QChar c : line) {
        const QString candidate = current + c;
        if (!current.isEmpty() && width(candidate) > boxWidth) {
            out << current;
            current = QString(c);
        } else {
            current = candidate;
        }
    }
    out << current;
}

void breakOnSpaces(const QString& line, double boxWidth, const TextWidth& width, QStringList& out) {
    // Words keep their trailing spaces; a line is closed before a word that does not fit, and a
    // word wider than the box on its own is broken inside, character by character.
    QStringList words;
    QString word;
    for (int i = 0; i < line.size(); ++i) {
        word += line[i];
        if (line[i] == QLatin1Char(' ') && (i + 1 == line.size() || line[i + 1] != ' ')) {
            words << word;
            word.clear();
        }
    }
    if (!word.isEmpty() || words.isEmpty()) words << word;

    QString current;
    for (const QString& w : words) {
        if (width(current + w.trimmed()) <= boxWidth || current.isEmpty()) {
            if (current.isEmpty() && width(w.trimmed()) > boxWidth) {
                QStringList pieces;
                breakAnywhere(w, boxWidth, width, pieces);
                for (int i = 0; i + 1 < pieces.size(); ++i) out << pieces[i];
                current = pieces.last();
            } else {
                current += w;
            }
        } else {
            out << current;
            current.clear();
            if (width(w.trimmed()) > boxWidth) {
                QStringList pieces;
                breakAnywhere(w, boxWidth, width, pieces);
                for (int i = 0; i + 1 < pieces.size(); ++i) out << pieces[i];
                current = pieces.last();
            } else {
                current = w;
            }
        }
    }
    out << current;
}

}  // namespace

QStringList layoutLines(const QString& caption, bool autoSize, bool wordWrap, TWrapStyle style,
                        double boxWidth, const TextWidth& width) {
    QStringList out;
    const QStringList lines = captionLines(caption);
    for (const QString& line : lines) {
        if (autoSize || !wordWrap) {
            out << line;
        } else if (style == TWrapStyle::BreakAnywhere) {
            breakAnywhere(line, boxWidth, width, out);
        } else {
            breakOnSpaces(line, boxWidth, width, out);
        }
    }
    if (!out.isEmpty() && isBlank(out.last())) out.removeLast();
    return out;
}

QPaintDevice* measuringDevice(double dpi) {
    // One small image per resolution, kept for the process: QImage reports its dots per metre
    // as its logical resolution, which is what QFontMetrics scales point sizes by.
    static std::map<int, std::unique_ptr<QImage>> devices;
    const int key = qRound(dpi * 1000);
    auto& slot = devices[key];
    if (!slot) {
        slot = std::make_unique<QImage>(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dotsPerMetre = qRound(dpi / 0.0254);
        slot->setDotsPerMeterX(dotsPerMetre);
        slot->setDotsPerMeterY(dotsPerMetre);
    }
    return slot.get();
}

int lineHeight(const QFont& font, QPaintDevice* device) {
    return QFontMetrics(font, device).size(Qt::TextSingleLine, QStringLiteral("W")).height();
}

}  // namespace engine
