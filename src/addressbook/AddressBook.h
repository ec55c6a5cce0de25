#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <optional>

#include "addressbook/AddressQuery.h"
#include "addressbook/SharedBookSettings.h"

// The address book: the connection ADOConnection1 to "data/QuorvelDB.qdb" beside
// the executable, the two query objects ADOQuery1 (short reads for the pickers) and ADOQuery2
// (the editor's row set), and the two operations through which all reading goes, OpenData and
// ShowStringList. The main window owns one AddressBook for the life of the process.
//
// The file's password protection is described in AddressBookFile.h: it keeps the program from
// opening a file that was not made for it, and it is NOT encryption.
class AddressBook : public QObject {
    Q_OBJECT
  public:
    // Every statement the program sends. The two look-ups bind the picked name as a parameter
    // instead of splicing it between double quotes, so that every name (quotes included) is
    // found and no name is ever read as SQL.
    static const QString kSenderListSql;    // "Select * from 发货人 order by 发货人"
    static const QString kCustomerListSql;  // "Select * from 客户 order by 名称"
    // The look-ups quote the column in double quotes (not brackets), which both the local file
    // and the shared book understand.
    static const QString kSenderLookupSql;    // "Select * from  发货人 where "发货人"=?"
    static const QString kCustomerLookupSql;  // "Select * from  客户 where "名称"=?"

    // What the pickers read: the row key and the columns a picker entry shows, nothing else.
    // The same rows in the same order as the two list statements above. The key is quoted:
    // the shared book's server would read a bare ID as id.
    static const QString
        kSenderEntriesSql;  // "Select "ID", 发货人, 单位, 电话 from 发货人 order by 发货人"
    static const QString
        kCustomerEntriesSql;  // "Select "ID", 名称, 收货人, 电话 from 客户 order by 名称"

    // A picked entry's own row, by its key.
    static const QString kSenderByKeySql;    // Select * from "发货人" where "ID"=?
    static const QString kCustomerByKeySql;  // Select * from "客户" where "ID"=?

    static const QString kConnectFailedText;  // "数据库连接设置错误！"
    // Connected to a shared book whose tables have not been made yet.
    static const QString kNotInitialisedText;
    static const QString
        kStatementFailedText;  // "无法连接网络，请检查服务器是否启动或者网络连接是否正常！！"

    explicit AddressBook(QObject* parent = nullptr);
    ~AddressBook() override;

    // The connection string for the book under `executableFolder` (or, installed, the user's
    // data folder): the data source is that folder, a separator, "data", a separator and
    // "QuorvelDB.qdb" (the platform's separator, "\" on Windows), the password "KDMRTQXW".
    static QString connectionString(const QString& executableFolder);

    // Opens ADOConnection1 for AppEnvironment::dataHome(); an installed program first makes an
    // empty book in the user's data folder if there is none. A failure is reported with
    // "数据库连接设置错误！" and swallowed; the connection stays closed.
    // With a [SharedAddressBook] section in the settings file the connection goes to that
    // server instead (see SharedAddressBook.h); a failure says "数据库连接设置错误！" and which
    // server and database could not be reached.
    void ConnectAddressBook();
    bool isConnected() const;
    // The settings name a shared book (whether or not it could be reached).
    bool isShared() const { return m_shared.has_value(); }
    QString connectionName() const { return m_connectionName; }

    // Opens a connection of its own (another thread's, or a print's without the main window) to
    // a book: returns false with the reason in `why`.
    using ConnectionOpener = std::function<bool(const QString& connectionName, QString* why)>;
    // To the book this object connected to; safe to call on any thread.
    ConnectionOpener connectionOpener() const;
    // To the book the settings file names now (the shared book, else the local file, which is
    // never made here).
    static bool openConfiguredBook(const QString& connectionName, QString* why);

    // Runs `sql` (with `boundValues` for its "?" placeholders) on `dataSet` and leaves it open on
    // its first row. On failure: tells the user, closes `dataSet` and throws SilentAbort, which
    // ends the calling user action quietly (the handler guard swallows it).
    void OpenData(const QString& sql, AddressQuery& dataSet, const QVariantList& boundValues = {});

    // Runs `sql` through OpenData, replaces `list` by the text of column `showItem` of every
    // row (a missing value gives an empty line), and closes `dataSet`. A failing statement
    // leaves `list` as it was (and throws SilentAbort).
    void ShowStringList(const QString& sql, const QString& showItem, QStringList& list,
                        AddressQuery& dataSet);

    // Tells whether the book may have changed: the same stamp twice means no row was written in
    // between, neither by this program nor by another connection to the file. Nothing when not
    // connected (then it is unknown).
    std::optional<QPair<quint64, qint64>> changeStamp() const;
    // Counts a write made outside the two query objects (an import).
    void noteChange() { ++m_changes; }

    AddressQuery* ADOQuery1 = nullptr;
    AddressQuery* ADOQuery2 = nullptr;

  private:
    QString m_connectionName;
    std::optional<SharedBookSettings> m_shared;
    quint64 m_changes = 0;
};
