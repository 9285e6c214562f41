#include "ServerKitchen.h"

#include <QCoreApplication>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {
int kitchenCounter = 0;
}

QString ServerKitchen::server()
{
    return qEnvironmentVariable("KUHNEMER_TEST_SERVER");
}

ServerKitchen::ServerKitchen(const QString& prefix)
    : m_kitchen(u"%1_%2_%3"_s.arg(prefix).arg(QCoreApplication::applicationPid()).arg(++kitchenCounter))
{
    QString error;
    m_db = Database::openServer(server(), m_kitchen, &error, u"server-"_s + m_kitchen,
                                Database::Shape::MustBeWhole, Database::Creation::New);
    if (!m_db)
        qFatal("cannot create a server kitchen: %s", qPrintable(error));
}

ServerKitchen::~ServerKitchen()
{
    if (!m_db) {
        // Closed by the test: a short connection of its own drops the kitchen.
        QString error;
        m_db = Database::openServer(server(), m_kitchen, &error, u"drop-"_s + m_kitchen,
                                    Database::Shape::AnyVersion);
        if (!m_db)
            return;
    }
    QSqlQuery(u"DROP SCHEMA %1 CASCADE"_s.arg(m_kitchen), db());
    m_db->close();
}

void ServerKitchen::close()
{
    if (m_db) {
        m_db->close();
        m_db.reset();
    }
}
