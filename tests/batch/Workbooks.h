#pragma once

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// Excel workbooks made for a test: XML parts zipped with QuaZip.
namespace workbooks {

inline bool writeParts(const QString& path, const QMap<QString, QByteArray>& parts) {
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate)) return false;
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(it.key()))) return false;
        file.write(it.value());
        file.close();
    }
    zip.close();
    return zip.getZipError() == 0;
}

// Two sheets, the first one listed with the relationship rId7.
inline QByteArray workbookPart() {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
               "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
               "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
               "<sheets><sheet name=\"订单\" sheetId=\"1\" r:id=\"rId7\"/>"
               "<sheet name=\"其他\" sheetId=\"2\" r:id=\"rId1\"/></sheets></workbook>")
        .toUtf8();
}

inline QByteArray relationsPart(const QString& firstSheetTarget) {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
               "<Relationships "
               "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
               "<Relationship Id=\"rId1\" Type=\"worksheet\" Target=\"worksheets/sheet1.xml\"/>"
               "<Relationship Id=\"rId7\" Type=\"worksheet\" Target=\"%1\"/>"
               "</Relationships>")
        .arg(firstSheetTarget)
        .toUtf8();
}

// A workbook whose first sheet (stored as worksheets/sheet2.xml; sheet1.xml is the second
// sheet and holds a decoy) has these rows of inline strings.
inline bool writeRows(const QString& path, const QList<QStringList>& rows) {
    QByteArray sheet =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    for (int r = 0; r < rows.size(); ++r) {
        sheet += QStringLiteral("<row r=\"%1\">").arg(r + 1).toUtf8();
        for (int c = 0; c < rows[r].size(); ++c) {
            if (rows[r][c].isEmpty()) continue;  // empty cells are left out, as Excel does
            QString text = rows[r][c];
            text.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;"));
            sheet += QStringLiteral("<c r=\"%1%2\" t=\"inlineStr\"><is><t>%3</t></is></c>")
                         .arg(QChar(u'A' + c))
                         .arg(r + 1)
                         .arg(text)
                         .toUtf8();
        }
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    const QByteArray decoy =
        "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>decoy</t></is>"
        "</c></row></sheetData></worksheet>";
    return writeParts(path, {{"xl/workbook.xml", workbookPart()},
                             {"xl/_rels/workbook.xml.rels", relationsPart("worksheets/sheet2.xml")},
                             {"xl/worksheets/sheet2.xml", sheet},
                             {"xl/worksheets/sheet1.xml", decoy}});
}

}  // namespace workbooks
