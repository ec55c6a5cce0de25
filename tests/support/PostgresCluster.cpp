#include "support/PostgresCluster.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const QString kServerUser = QStringLiteral("postgres");

bool runningAsRoot() {
#ifdef Q_OS_UNIX
    return geteuid() == 0;
#else
    return false;
#endif
}

}  // namespace

PostgresCluster::PostgresCluster() : m_bin(binFolder()) {}

PostgresCluster::~PostgresCluster() {
    stop();
}

QString PostgresCluster::binFolder() {
    QDir root(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(versions.begin(), versions.end(),
              [&](const QString& a, const QString& b) { return numeric.compare(a, b) > 0; });
    for (const QString& version : versions) {
        const QString bin = root.filePath(version + QStringLiteral("/bin"));
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable() &&
            QFileInfo(bin + QStringLiteral("/pg_ctl")).isExecutable())
            return bin;
    }
    return {};
}

QString PostgresCluster::socketFolder() const {
    return m_folder.path();
}

QString PostgresCluster::dataFolder() const {
    return m_folder.filePath(QStringLiteral("data"));
}

bool PostgresCluster::run(const QString& program, const QStringList& arguments, int timeoutMs) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString path = QDir(m_bin).filePath(program);
    if (m_asServerUser)
        process.start(
            QStringLiteral("runuser"),
            QStringList{QStringLiteral("-u"), kServerUser, QStringLiteral("--"), path} + arguments);
    else
        process.start(path, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        m_error = QStringLiteral("%1 did not finish: %2").arg(program, process.errorString());
        return false;
    }
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return true;
    m_error = QStringLiteral("%1 failed: %2")
                  .arg(program, QString::fromLocal8Bit(process.readAll()).trimmed());
    return false;
}

bool PostgresCluster::handOverToServerUser() {
    const int code = QProcess::execute(QStringLiteral("chown"),
                                       {QStringLiteral("%1:").arg(kServerUser), m_folder.path()});
    if (code != 0) {
        m_error = QStringLiteral(
                      "cannot hand %1 to the user %2 (is the PostgreSQL server "
                      "installed?)")
                      .arg(m_folder.path(), kServerUser);
        return false;
    }
    m_asServerUser = true;
    return true;
}

bool PostgresCluster::start() {
    if (m_running) return true;
    if (m_bin.isEmpty()) {
        m_error = QStringLiteral(
            "no PostgreSQL server under /usr/lib/postgresql "
            "(scripts/install-deps.sh installs it)");
        return false;
    }
    if (!m_folder.isValid()) {
        m_error = m_folder.errorString();
        return false;
    }
    if (runningAsRoot() && !handOverToServerUser()) return false;
    if (!run(QStringLiteral("initdb"),
             {QStringLiteral("-D"), dataFolder(), QStringLiteral("-U"), superUser(),
              QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync")}))
        return false;
    // Only the socket in the private folder; no TCP port, so parallel tests never collide.
    const QString options = QStringLiteral("-c listen_addresses='' -k %1 -p %2 -c fsync=off")
                                .arg(socketFolder())
                                .arg(kPort);
    if (!run(QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), dataFolder(), QStringLiteral("-o"), options,
              QStringLiteral("-l"), m_folder.filePath(QStringLiteral("server.log")),
              QStringLiteral("-w"), QStringLiteral("start")}))
        return false;
    m_running = true;
    return true;
}

void PostgresCluster::stop() {
    if (!m_running) return;
    run(QStringLiteral("pg_ctl"),
        {QStringLiteral("-D"), dataFolder(), QStringLiteral("-m"), QStringLiteral("fast"),
         QStringLiteral("-w"), QStringLiteral("stop")});
    m_running = false;
}

bool PostgresCluster::createDatabase(const QString& name) {
    static int serial = 0;
    const QString connection = QStringLiteral("PostgresCluster-admin-%1").arg(++serial);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(socketFolder());
        db.setPort(kPort);
        db.setUserName(superUser());
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open()) {
            m_error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            ok = query.exec(
                QStringLiteral("CREATE DATABASE \"%1\" TEMPLATE template0 "
                               "ENCODING 'UTF8'")
                    .arg(QString(name).replace(QLatin1Char('"'), QLatin1String("\"\""))));
            if (!ok) m_error = query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}
