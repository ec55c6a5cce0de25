#include "batch/OrderList.h"

#include <QFile>
#include <QFileInfo>

#include "platform/AppError.h"

namespace {
[[noreturn]] void refuse(const QString& path, const QString& why) {
    throw AppError(QStringLiteral("无法读取文件“%1”：%2。").arg(QFileInfo(path).fileName(), why));
}

QList<OrderRow> csvRows(const QString& path, const OrderListOptions& options,
                        OrderTextEncoding& encoding) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) refuse(path, file.errorString());
    const QString text = orderlist::decodeText(file.readAll(), options.encoding, &encoding);
    QList<OrderRow> rows;
    int number = 0;
    for (QStringList& record : orderlist::splitCsv(text)) rows << OrderRow{++number, record};
    return rows;
}

bool hasText(const QStringList& cells) {
    return std::any_of(cells.begin(), cells.end(),
                       [](const QString& cell) { return !cell.trimmed().isEmpty(); });
}
}  // namespace

OrderList readOrderList(const QString& path, const OrderListOptions& options) {
    const QFileInfo info(path);
    if (!info.exists()) refuse(path, QStringLiteral("文件不存在"));
    if (info.isDir()) refuse(path, QStringLiteral("这是一个文件夹"));
    const QString suffix = info.suffix().toLower();
    if (suffix == u"xls")
        refuse(path, QStringLiteral("不支持旧的 Excel 格式（.xls），请另存为 .xlsx 或 CSV"));

    OrderList list;
    QList<OrderRow> rows;
    if (suffix == u"xlsx") {
        rows = orderlist::readWorkbookRows(path);
        list.encoding = OrderTextEncoding::Utf8;
    } else {
        rows = csvRows(path, options, list.encoding);
    }
    // Blank rows (trailing empty lines, rows a spreadsheet merely formatted) are no orders.
    rows.removeIf([](const OrderRow& row) { return !hasText(row.cells); });
    if (options.firstRowIsHeader && !rows.isEmpty()) {
        for (const QString& cell : rows.takeFirst().cells) list.header << cell.trimmed();
    }
    list.columnCount = int(list.header.size());
    for (const OrderRow& row : rows)
        list.columnCount = std::max(list.columnCount, int(row.cells.size()));
    list.rows = std::move(rows);
    return list;
}
