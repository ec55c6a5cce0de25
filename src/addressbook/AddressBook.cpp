#include "addressbook/AddressBook.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>

#include "addressbook/AddressBookBackend.h"
#include "addressbook/AddressBookFile.h"
#include "addressbook/SharedAddressBook.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "platform/MessageBoxes.h"

const QString AddressBook::kSenderListSql = QStringLiteral("Select * from 发货人 order by 发货人");
const QString AddressBook::kCustomerListSql = QStringLiteral("Select * from 客户 order by 名称");
const QString AddressBook::kSenderLookupSql =
    QStringLiteral("Select * from  发货人 where") + QStringLiteral(" \"发货人\"=?");
const QString AddressBook::kCustomerLookupSql =
    QStringLiteral("Select * from  客户 where") + QStringLiteral(" \"名称\"=?");

const QString AddressBook::kSenderEntriesSql =
    QStringLiteral("Select \"ID\", 发货人, 单位, 电话 from 发货人 order by 发货人");
const QString AddressBook::kCustomerEntriesSql =
    QStringLiteral("Select \"ID\", 名称, 收货人, 电话 from 客户 order by 名称");

const QString AddressBook::kSenderByKeySql =
    QStringLiteral("Select * from \"发货人\" where \"ID\"=?");
const QString AddressBook::kCustomerByKeySql =
    QStringLiteral("Select * from \"客户\" where \"ID\"=?");

const QString AddressBook::kConnectFailedText = QStringLiteral("数据库连接设置错误！");
const QString AddressBook::kNotInitialisedText = QStringLiteral(
    "共享通讯录还没有初始化，请在“发货人、客户添加与编辑”中点击“初始化共享通讯录”。");
const QString AddressBook::kStatementFailedText =
    QStringLiteral("无法连接网络，请检查服务器是否启动或者网络连接是否正常！！");

AddressBook::AddressBook(QObject* parent) : QObject(parent) {
    static int serial = 0;
    m_connectionName = QStringLiteral("ADOConnection1-%1").arg(++serial);
    ADOQuery1 = new AddressQuery(QStringLiteral("ADOQuery1"), this);
    ADOQuery2 = new AddressQuery(QStringLiteral("ADOQuery2"), this);
    ADOQuery1->setConnectionName(m_connectionName);
    ADOQuery2->setConnectionName(m_connectionName);
    // The editor's grid may show a million customers: it reads rows as they are shown.
    ADOQuery2->setFetchOnDemand(true);
    for (AddressQuery* query : {ADOQuery1, ADOQuery2})
        connect(query, &AddressQuery::rowsWritten, this, &AddressBook::noteChange);
}

AddressBook::~AddressBook() {
    ADOQuery1->close();
    ADOQuery2->close();
    AddressBookFile::remove(m_connectionName);
}

QString AddressBook::connectionString(const QString& executableFolder) {
    const QChar separator = QDir::separator();
    QString folder = QDir::toNativeSeparators(executableFolder);
    if (!folder.endsWith(separator)) folder += separator;
    folder += QStringLiteral("data") + separator;
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
           AddressBookFile::quoteConnectionValue(folder + QStringLiteral("QuorvelDB.qdb")) +
           QStringLiteral(";Persist Security Info=False;Jet OLEDB:Database Password=") +
           QLatin1String(AddressBookFile::kPassword);
}

namespace {
// An installed program keeps the book in the user's data folder, where nobody can have put one
// before the first start: it is made empty there. Beside a portable executable the book is
// provided with the folder, and a missing one is reported as it always was. A book that cannot
// be made shows up as the connection failure that follows.
void makeUserBookIfMissing() {
    if (AppEnvironment::isPortable()) return;
    const QString path =
        QDir(AppEnvironment::dataFolder()).filePath(QStringLiteral("QuorvelDB.qdb"));
    if (QFileInfo::exists(path) || !QDir().mkpath(AppEnvironment::dataFolder())) return;
    AddressBookFile::create(path, QString::fromLatin1(AddressBookFile::kPassword));
}
}  // namespace

namespace {

bool openBook(const QString& connectionName, const std::optional<SharedBookSettings>& shared,
              const QString& localConnectionString, QString* why) {
    if (shared) return SharedAddressBook::open(connectionName, *shared, why);
    return AddressBookFile::open(connectionName, localConnectionString, why);
}

}  // namespace

AddressBook::ConnectionOpener AddressBook::connectionOpener() const {
    // The settings as they were when connecting: the shared connection keeps no password, so
    // a copy of it could not log in; the password file is read again instead.
    return [shared = m_shared, local = connectionString(AppEnvironment::dataHome())](
               const QString& connectionName, QString* why) {
        return openBook(connectionName, shared, local, why);
    };
}

bool AddressBook::openConfiguredBook(const QString& connectionName, QString* why) {
    return openBook(connectionName, SharedBookSettings::read(AppEnvironment::settingsFilePath()),
                    connectionString(AppEnvironment::dataHome()), why);
}

void AddressBook::ConnectAddressBook() {
    ADOQuery1->close();
    ADOQuery2->close();
    m_shared = SharedBookSettings::read(AppEnvironment::settingsFilePath());
    if (!m_shared) makeUserBookIfMissing();
    QString why;
    // The shared book's failure names the server; the local file's message stays as it was.
    if (!connectionOpener()(m_connectionName, &why))
        MessageBoxes::error(m_shared ? kConnectFailedText + QLatin1Char('\n') + why
                                     : kConnectFailedText);
    else if (m_shared && !SharedAddressBook::isInitialised(m_connectionName))
        MessageBoxes::information(kNotInitialisedText);
}

std::optional<QPair<quint64, qint64>> AddressBook::changeStamp() const {
    if (!isConnected()) return std::nullopt;
    const auto counter =
        AddressBookBackend::changeCounter(QSqlDatabase::database(m_connectionName, false));
    if (!counter) return std::nullopt;
    return QPair<quint64, qint64>(m_changes, *counter);
}

bool AddressBook::isConnected() const {
    return QSqlDatabase::contains(m_connectionName) &&
           QSqlDatabase::database(m_connectionName, false).isOpen();
}

void AddressBook::OpenData(const QString& sql, AddressQuery& dataSet,
                           const QVariantList& boundValues) {
    try {
        dataSet.close();
    } catch (...) {
        // A failure while closing is ignored.
    }
    try {
        dataSet.clearSql();
        dataSet.setSql(sql, boundValues);
        dataSet.open();
        if (dataSet.recordCount() > 0) dataSet.first();
    } catch (...) {
        MessageBoxes::information(kStatementFailedText);
        try {
            dataSet.close();
        } catch (...) {
        }
        throw SilentAbort();
    }
}

void AddressBook::ShowStringList(const QString& sql, const QString& showItem, QStringList& list,
                                 AddressQuery& dataSet) {
    OpenData(sql, dataSet);
    list.clear();
    if (dataSet.recordCount() == 0) {
        dataSet.close();
        return;
    }
    const int column = dataSet.columnIndex(showItem);
    if (column < 0) {
        dataSet.close();
        throw AppError(QStringLiteral("Field '%1' not found").arg(showItem));
    }
    list.reserve(dataSet.recordCount());
    // Row by row over the rows already read; the column is found once.
    for (int row = 0; row < dataSet.recordCount(); ++row) {
        const QVariant v = dataSet.valueAt(row, column);
        list.append(v.isNull() ? QString() : v.toString());
    }
    dataSet.close();
}
