#include "TestDataDir.h"

#include "store/Schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
int connectionCounter = 0;
}

TestDataDir::TestDataDir(bool open)
{
    QString error;
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
        marks << u"?"_s;
    }
    QSqlQuery query(db());
    query.prepare(
        u"INSERT INTO \"%1\" (%2) VALUES (%3)"_s.arg(table, names.join(u", "_s), marks.join(u", "_s)));
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
