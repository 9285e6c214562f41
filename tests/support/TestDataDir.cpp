#include "TestDataDir.h"

#include "store/Schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {
int connectionCounter = 0;
}

TestDataDir::TestDataDir(bool open)
{
    QString error;
    if (!schema::createDataDirectory(dataDir(), &error))
        qFatal("cannot create test data: %s", qPrintable(error));
    if (open) {
        m_db = Database::open(dataDir(), &error, QStringLiteral("test-%1").arg(++connectionCounter));
        if (!m_db)
            qFatal("cannot open test data: %s", qPrintable(error));
    }
}

TestDataDir::~TestDataDir()
{
    close();
}

void TestDataDir::close()
{
    if (m_db) {
        m_db->close();
        m_db.reset();
    }
}

qlonglong TestDataDir::insert(const QString& table, const QVariantMap& values)
{
    QStringList names, marks;
    for (auto it = values.begin(); it != values.end(); ++it) {
        names << u'"' + it.key() + u'"';
        marks << QStringLiteral("?");
    }
    QSqlQuery query(db());
    query.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                      .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    for (const QVariant& v : values)
        query.addBindValue(v);
    if (!query.exec())
        qFatal("insert into %s failed: %s", qPrintable(table), qPrintable(query.lastError().text()));
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
