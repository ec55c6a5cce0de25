#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

// Import and export of one address-book table as a CSV file whose header row names the table's
// five text columns in Chinese, in table order (the row key is never written or read).
//
// Import is planned first and written afterwards, so that the user can see what it would do:
// rows without a name are refused; a customer whose 名称 (surrounding blanks ignored) is already
// in the book, or earlier in the same file, would change that customer; every other row is new.
// Senders have no unique column: every sender row with a company or a person is new. The
// writing runs in one transaction: when anything fails, the book is left as it was.
class AddressTransfer {
  public:
    enum class Table { Senders, Customers };

    // The five columns of `table` after the row key, in table order.
    static QStringList columns(Table table);

    // Writes every row of `table`, in the order the editor lists them, to `path` (UTF-8 with a
    // byte order mark). Returns the number of rows; throws AppError when the file cannot be
    // written (an existing file is then left as it was).
    static int exportTo(const QString& connectionName, Table table, const QString& path);

    struct Change {
        qint64 id = 0;    // the customer in the book, or 0 ...
        int newRow = -1;  // ... the new row of this import it repeats
        QStringList values;
    };
    struct Plan {
        Table table = Table::Customers;
        QVector<QStringList> newRows;  // five values each, in column order
        QVector<Change> changes;
        int refused = 0;
    };

    // Reads `path` (UTF-8, with or without a byte order mark, or GBK) and plans its import.
    // Throws AppError for a file that cannot be read, is not CSV, or whose header names none
    // of the table's columns (for customers: lacks 名称).
    static Plan plan(const QString& connectionName, Table table, const QString& path);

    // Writes the plan in one transaction: the new rows, and the changes when `updateExisting`.
    // Throws AppError, with the book unchanged, when the database refuses anything.
    static void apply(const QString& connectionName, const Plan& plan, bool updateExisting);
};
