#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include "waybill/WaybillTemplate.h"

class ProfileFile;

// Which column of an order list fills which of the ten fields ("cbb1" … "cbb55").
//
// A list's columns are mapped, in this order of precedence:
// 1. as the user mapped a column of that header before: the settings file keeps, in a section
//    of its own, one key per header text with the field it filled ("-" for none), e.g.
//      [BatchColumns]
//      收件人姓名=cbb11
//      备注=-
// 2. by the header's words: 收货人 / 收件人 / 姓名 the name, 电话 / 手机 / 联系电话 the
//    telephone, 地址 / 详细地址 the address, 目的地 / 城市 / 省市 the destination, 单位 / 公司 the
//    company; with 发货 / 寄件 / 发件 / 始发 in it, the sender's field of that kind;
// 3. when neither maps any column (or the list has no header): the first five columns fill
//    the recipient's 收货人, 目的地, 地址, 电话, 单位.
class ColumnMapping {
  public:
    static QString settingsSection() { return QStringLiteral("BatchColumns"); }
    // The value remembered for a column that fills no field.
    static QString noField() { return QStringLiteral("-"); }

    // The mapping of a list with this header (empty: none) and this many columns; `settings`
    // may be null (nothing remembered).
    static ColumnMapping forHeader(const QStringList& header, int columnCount,
                                   const ProfileFile* settings);

    // The column that fills `field`, -1 for none.
    int column(const QString& field) const { return m_columns.value(field, -1); }
    // Fills `field` from `column` (-1: from none).
    void setColumn(const QString& field, int column);
    bool isEmpty() const { return m_columns.isEmpty(); }

    // The texts of a row, each trimmed; a field whose column the row lacks is empty. The
    // fields are one line each, as on the main window: a line break inside a cell (an address
    // typed on two lines) becomes a space.
    WaybillTexts textsOf(const QStringList& cells) const;

    // Keeps the mapping of every header column for the next list with that header. Header
    // texts the settings file cannot hold as keys (empty, with '=' or a line break, starting
    // with ';' or '[') are not remembered.
    void remember(ProfileFile& settings, const QStringList& header) const;

  private:
    QHash<QString, int> m_columns;
};

// The field a header's words name, empty when they name none.
QString fieldNamedByHeader(const QString& header);
