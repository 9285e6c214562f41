#include "TestDataDir.h"

#include "ServerKitchen.h"

#include "store/Schema.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
int connectionCounter = 0;
}

TestDataDir::TestDataDir(bool open, Engine engine)
{
    QString error;
    if (engine == Engine::UnderTest && serverRun()) {
        // The folder stays the workstation's: exchange files and print-outs go there as for a file.
        if (!QDir().mkpath(dataDir()))
            qFatal("cannot create the test folder %s", qPrintable(dataDir()));
        m_server = std::make_unique<ServerKitchen>(u"data"_s);
        if (!open)
            m_server->close();
        return;
    }
    if (!schema::createDataDirectory(dataDir(), &error))
        qFatal("cannot create test data: %s", qPrintable(error));
    if (open) {
        m_db = Database::open(dataDir(), &error, u"test-%1"_s.arg(++connectionCounter));
        if (!m_db)
            qFatal("cannot open test data: %s", qPrintable(error));
    }
}

TestDataDir::~TestDataDir()
{
    close();
    m_server.reset();
}

bool TestDataDir::serverRun()
{
    return !ServerKitchen::server().isEmpty();
}

QSqlDatabase TestDataDir::db() const
{
    if (m_server)
        return m_server->db();
    return m_db ? m_db->connection() : QSqlDatabase();
}

Database& TestDataDir::database()
{
    return m_server ? m_server->database() : *m_db;
}

QStringList TestDataDir::arguments() const
{
    return QStringList{u"--data"_s, dataDir()} + serverOptions();
}

QStringList TestDataDir::serverOptions() const
{
    if (!m_server)
        return {};
    return {u"--server"_s, ServerKitchen::server(), u"--kitchen"_s, m_server->kitchen()};
}

std::optional<Database> TestDataDir::openAgain(const QString& connectionName, QString* error) const
{
    if (m_server)
        return Database::openServer(ServerKitchen::server(), m_server->kitchen(), error, connectionName);
    return Database::open(dataDir(), error, connectionName);
}

void TestDataDir::close()
{
    if (m_server)
        m_server->close();
    if (m_db) {
        m_db->close();
        m_db.reset();
    }
}

qlonglong TestDataDir::insert(const QString& table, const QVariantMap& values)
{
    QStringList names, marks;
    for (auto it = values.begin(); it != values.end(); ++it) {
        // Unquoted, as the schema names them: the server folds both to lower case.
        names << it.key();
        marks << u"?"_s;
    }
    QSqlQuery query(db());
    query.prepare(u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, names.join(u", "_s), marks.join(u", "_s)));
    for (const QVariant& v : values)
        query.addBindValue(v);
    if (!query.exec())
        qFatal("insert into %s failed: %s", qPrintable(table), qPrintable(query.lastError().text()));
    // A key given is the key: the server's last generated key may be another table's.
    for (const schema::DeclaredField& field : schema::declaredFields(table)) {
        if (field.key && values.contains(field.name))
            return values.value(field.name).toLongLong();
    }
    return query.lastInsertId().toLongLong();
}

QVariant TestDataDir::scalar(const QString& sql, const QVariantList& values)
{
    QSqlQuery query(db());
    query.prepare(sql);
    for (const QVariant& v : values)
        query.addBindValue(v);
    if (!query.exec())
        qFatal("query failed: %s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    return query.next() ? query.value(0) : QVariant();
}
