#pragma once

#include <QList>
#include <QString>

#include "batch/ColumnMapping.h"
#include "batch/OrderList.h"
#include "batch/WaybillJob.h"

// A row that is not printed, and why.
struct SkippedRow {
    int number = 0;  // the row's number in the file
    QString reason;
};

// Why a waybill with these texts is not printed: it lacks the recipient's name or address
// (empty when it has both).
QString missingRecipientText(const WaybillTexts& texts);

// The waybills of chosen rows of an order list: each row's texts through the column mapping,
// the five sender fields from a chosen sender when one is given. Rows that lack the
// recipient's name or address are set aside with the reason. Texts are made when asked for,
// one row at a time. The list must outlive this object.
class OrderWaybills {
  public:
    // `rows` are indexes into list.rows, in print order.
    OrderWaybills(const OrderList& list, ColumnMapping mapping, WaybillTexts sender,
                  const QList<int>& rows);
    // Every row of the list, in order.
    static QList<int> allRows(const OrderList& list);

    int count() const { return int(m_printable.size()); }
    WaybillTexts textsAt(int index) const;
    // The row (an index into list.rows) of waybill `index`.
    int rowAt(int index) const { return m_printable.at(index); }
    int rowNumberAt(int index) const { return m_list.rows.at(rowAt(index)).number; }
    const QList<SkippedRow>& skipped() const { return m_skipped; }

    WaybillTextSource source() const;

  private:
    WaybillTexts textsOfRow(int row) const;

    const OrderList& m_list;
    ColumnMapping m_mapping;
    WaybillTexts m_sender;
    QList<int> m_printable;
    QList<SkippedRow> m_skipped;
};
