#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A throw-away PostgreSQL server of the test's own: a cluster made with initdb in a temporary
// folder, listening only on a Unix socket in that folder (no TCP), stopped and removed when the
// object goes. The server binaries come from the Debian packages (/usr/lib/postgresql/*/bin).
//
// initdb refuses to run as root, which is what CI runs as; then the folder is handed to the
// `postgres` system user and the server programs run as that user (runuser). As anybody else
// they run as the current user.
class PostgresCluster {
  public:
    PostgresCluster();
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // Makes and starts the cluster; false (with `error()` saying why) when it cannot.
    bool start();
    void stop();
    bool isRunning() const { return m_running; }
    QString error() const { return m_error; }

    // Where a client connects: the socket folder as the host name, the port the socket is named
    // after, the superuser made by initdb (trusted on the local socket, no password).
    QString socketFolder() const;
    int port() const { return kPort; }
    QString superUser() const { return QStringLiteral("quorvel"); }

    // Makes an empty database owned by the superuser; false when it cannot.
    bool createDatabase(const QString& name);

    // The folder of initdb and pg_ctl of the newest installed server; empty when none is.
    static QString binFolder();

  private:
    static constexpr int kPort = 5432;  // only names the socket file; the folder is private
    QString dataFolder() const;
    bool run(const QString& program, const QStringList& arguments, int timeoutMs = 60000);
    bool handOverToServerUser();

    QTemporaryDir m_folder;
    QString m_bin;
    QString m_error;
    bool m_asServerUser = false;
    bool m_running = false;
};
