// Tests of the throw-away PostgreSQL server the shared-book tests run against.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include "support/PostgresCluster.h"

namespace {

QSqlDatabase connectTo(const PostgresCluster& cluster, const QString& database,
                       const QString& name) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(cluster.socketFolder());
    db.setPort(cluster.port());
    db.setUserName(cluster.superUser());
    db.setDatabaseName(database);
    db.open();
    return db;
}

// Reachable on the socket only, and keeps Chinese text as written.
void storeAndReadBack(QSqlDatabase& db) {
    QSqlQuery query(db);
    QVERIFY(query.exec(QStringLiteral("SHOW listen_addresses")) && query.next());
    QCOMPARE(query.value(0).toString(), QString());
    QVERIFY2(query.exec(QStringLiteral("CREATE TABLE 客户 (名称 text)")),
             qPrintable(query.lastError().text()));
    query.prepare(QStringLiteral("INSERT INTO 客户 (名称) VALUES (?)"));
    query.addBindValue(QStringLiteral("闫 覃 “甲”公司"));
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
    QVERIFY(query.exec(QStringLiteral("SELECT 名称 FROM 客户")) && query.next());
    QCOMPARE(query.value(0).toString(), QStringLiteral("闫 覃 “甲”公司"));
}

}  // namespace

class TestPostgresCluster : public QObject {
    Q_OBJECT
  private slots:
    void theQtDriverAndTheServerAreInstalled() {
        QVERIFY2(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")),
                 "the Qt PostgreSQL driver is missing (scripts/install-deps.sh installs it)");
        QVERIFY2(!PostgresCluster::binFolder().isEmpty(),
                 "no PostgreSQL server (scripts/install-deps.sh installs it)");
    }

    // A private server: reachable on its socket only, keeps Chinese text, and leaves nothing
    // behind once stopped.
    void aPrivateServerStartsServesAndGoesAway() {
        QString folder;
        {
            PostgresCluster cluster;
            QVERIFY2(cluster.start(), qPrintable(cluster.error()));
            folder = cluster.socketFolder();
            QVERIFY2(cluster.createDatabase(QStringLiteral("book")), qPrintable(cluster.error()));
            {
                QSqlDatabase db = connectTo(cluster, QStringLiteral("book"), QStringLiteral("c1"));
                QVERIFY2(db.isOpen(), qPrintable(db.lastError().text()));
                storeAndReadBack(db);
                db.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("c1"));
            QVERIFY(QFileInfo::exists(folder + QStringLiteral("/.s.PGSQL.5432")));
        }
        QVERIFY(!QFileInfo::exists(folder));
    }

    // Two servers at once (tests run in parallel) do not get in each other's way.
    void twoServersRunSideBySide() {
        PostgresCluster first;
        PostgresCluster second;
        QVERIFY2(first.start(), qPrintable(first.error()));
        QVERIFY2(second.start(), qPrintable(second.error()));
        QVERIFY(first.socketFolder() != second.socketFolder());
        QVERIFY2(first.createDatabase(QStringLiteral("same")), qPrintable(first.error()));
        QVERIFY2(second.createDatabase(QStringLiteral("same")), qPrintable(second.error()));
        QVERIFY(!first.createDatabase(QStringLiteral("same")));
    }
};

QTEST_MAIN(TestPostgresCluster)
#include "tst_postgrescluster.moc"
