// The first sheet of an Excel workbook (.xlsx): a zip of XML parts, opened with QuaZip and read
// with QXmlStreamReader.
#include <quazip.h>
#include <quazipfile.h>

#include <QFileInfo>
#include <QXmlStreamReader>

#include "batch/OrderList.h"
#include "platform/AppError.h"

namespace orderlist {

namespace {

class Workbook {
  public:
    explicit Workbook(const QString& path) : m_path(path), m_zip(path) {
        if (!m_zip.open(QuaZip::mdUnzip)) fail(QStringLiteral("不是 Excel 工作簿（.xlsx）"));
    }

    // A part of the workbook; an empty array when it has no such part.
    QByteArray part(const QString& name) {
        if (!m_zip.setCurrentFile(name, QuaZip::csInsensitive)) return {};
        QuaZipFile file(&m_zip);
        if (!file.open(QIODevice::ReadOnly)) fail(QStringLiteral("部件 %1 无法读取").arg(name));
        return file.readAll();
    }

    [[noreturn]] void fail(const QString& why) const {
        throw AppError(
            QStringLiteral("无法读取文件“%1”：%2。").arg(QFileInfo(m_path).fileName(), why));
    }

  private:
    QString m_path;
    QuaZip m_zip;
};

// The text of the element the reader stands on, the runs of rich text joined; phonetic
// readings (<rPh>) are not part of it.
QString stringItem(QXmlStreamReader& xml) {
    QString text;
    int phonetic = 0;
    const QString endName = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"rPh") ++phonetic;
        if (xml.isEndElement() && xml.name() == u"rPh") --phonetic;
        if (xml.isStartElement() && xml.name() == u"t" && phonetic == 0)
            text += xml.readElementText();
        if (xml.isEndElement() && xml.name() == endName) break;
    }
    return text;
}

QStringList sharedStrings(const QByteArray& part) {
    QStringList strings;
    QXmlStreamReader xml(part);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si") strings << stringItem(xml);
    }
    return strings;
}

// The part of the first sheet: the workbook lists its sheets in order, each with the id of a
// relationship that names its part.
QString firstSheetPart(Workbook& book) {
    QString relationId;
    QXmlStreamReader workbook(book.part(QStringLiteral("xl/workbook.xml")));
    while (!workbook.atEnd() && relationId.isEmpty()) {
        workbook.readNext();
        if (workbook.isStartElement() && workbook.name() == u"sheet")
            for (const QXmlStreamAttribute& a : workbook.attributes())
                if (a.name() == u"id") relationId = a.value().toString();
    }
    QXmlStreamReader relations(book.part(QStringLiteral("xl/_rels/workbook.xml.rels")));
    while (!relations.atEnd() && !relationId.isEmpty()) {
        relations.readNext();
        if (relations.isStartElement() && relations.name() == u"Relationship" &&
            relations.attributes().value(QLatin1String("Id")) == relationId) {
            QString target = relations.attributes().value(QLatin1String("Target")).toString();
            if (target.startsWith(u'/')) return target.mid(1);
            return QStringLiteral("xl/") + target;
        }
    }
    return QStringLiteral("xl/worksheets/sheet1.xml");
}

// "BC12" → 54 (0-based column); -1 when the reference has no letters.
int columnOfReference(QStringView reference) {
    int column = 0;
    int letters = 0;
    for (QChar c : reference) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z') break;
        column = column * 26 + (u - u'A' + 1);
        ++letters;
    }
    return letters == 0 ? -1 : column - 1;
}

// A number as the sheet stores it, without an exponent when it is a whole number (a telephone
// number stored as a number is "13800138000", not "1.38e10").
QString numberText(const QString& stored) {
    bool ok = false;
    const double value = stored.toDouble(&ok);
    if (ok && value == std::floor(value) && std::abs(value) < 1e15)
        return QString::number(qint64(value));
    return stored;
}

QString cellText(QXmlStreamReader& xml, const QString& type, const QStringList& shared) {
    QString value;
    QString inlineText;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"c") break;
        if (!xml.isStartElement()) continue;
        if (xml.name() == u"v")
            value = xml.readElementText();
        else if (xml.name() == u"is")
            inlineText = stringItem(xml);
    }
    if (type == u"s") {
        const int index = value.toInt();
        return index >= 0 && index < shared.size() ? shared[index] : QString();
    }
    if (type == u"inlineStr") return inlineText;
    if (type == u"str" || type == u"e") return value;
    if (type == u"b") return value == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    return numberText(value);
}

}  // namespace

QList<OrderRow> readWorkbookRows(const QString& path) {
    Workbook book(path);
    const QStringList shared = sharedStrings(book.part(QStringLiteral("xl/sharedStrings.xml")));
    const QByteArray sheet = book.part(firstSheetPart(book));
    if (sheet.isEmpty()) book.fail(QStringLiteral("工作簿中没有工作表"));

    QList<OrderRow> rows;
    QXmlStreamReader xml(sheet);
    int nextRowNumber = 1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == u"row") {
            OrderRow row;
            const int stated = xml.attributes().value(QLatin1String("r")).toInt();
            row.number = stated > 0 ? stated : nextRowNumber;
            nextRowNumber = row.number + 1;
            rows << row;
        } else if (xml.name() == u"c" && !rows.isEmpty()) {
            QStringList& cells = rows.last().cells;
            int column = columnOfReference(xml.attributes().value(QLatin1String("r")));
            if (column < 0) column = int(cells.size());
            const QString type = xml.attributes().value(QLatin1String("t")).toString();
            const QString text = cellText(xml, type, shared);
            while (cells.size() <= column) cells << QString();
            cells[column] = text;
        }
    }
    if (xml.hasError()) book.fail(QStringLiteral("工作表有误（%1）").arg(xml.errorString()));
    return rows;
}

}  // namespace orderlist
