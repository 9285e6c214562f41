#include "ServerDatabase.h"

#include "ServerKitchen.h"

#include "store/Engine.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

// Runs one statement on the test server's own database, on a short connection of its own: a database
// is made and dropped from outside it.
QString onTestServer(const QString& sql)
{
    const QString connection = u"server-database"_s;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, connection);
        db.setConnectOptions(Engine::postgresConnectOptions(ServerKitchen::server(), &error));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            if (!query.exec(sql))
                error = query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
}

} // namespace

ServerDatabase::ServerDatabase(const QString& prefix)
    : m_name(u"%1_%2"_s.arg(prefix).arg(QCoreApplication::applicationPid()))
{
    if (const QString error = onTestServer(u"CREATE DATABASE "_s + m_name); !error.isEmpty())
        qFatal("cannot create the server database %s: %s", qPrintable(m_name), qPrintable(error));
    QString error;
    m_server = Engine::postgresConnectOptions(ServerKitchen::server(), &error) + u" dbname="_s + m_name;
}

ServerDatabase::~ServerDatabase()
{
    // FORCE: a connection a failed test left open must not keep the database behind.
    if (const QString error = onTestServer(u"DROP DATABASE %1 WITH (FORCE)"_s.arg(m_name)); !error.isEmpty())
        qWarning("cannot drop the server database %s: %s", qPrintable(m_name), qPrintable(error));
}
