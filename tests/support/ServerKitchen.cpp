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

ServerKitchen::ServerKitchen()
    : m_kitchen(u"test_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++kitchenCounter))
{
    QString error;
    m_db = Database::openServer(server(), m_kitchen, &error, u"server-"_s + m_kitchen,
                                Database::Shape::MustBeWhole, Database::Creation::New);
    if (!m_db)
        qFatal("cannot create a server kitchen: %s", qPrintable(error));
}

ServerKitchen::~ServerKitchen()
{
    QSqlQuery(u"DROP SCHEMA %1 CASCADE"_s.arg(m_kitchen), db());
    m_db->close();
}
