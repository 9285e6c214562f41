#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include <functional>

using namespace Qt::StringLiterals;

// Every row of every table, as text: two snapshots are equal when the database did not change.
inline QString databaseSnapshot(const QSqlDatabase& db)
{
    QString text;
    QSqlQuery tables(u"SELECT name FROM main.sqlite_master WHERE type = 'table' ORDER BY name"_s, db);
    QStringList names;
    while (tables.next())
        names << tables.value(0).toString();
    for (const QString& name : names) {
        QSqlQuery rows(u"SELECT * FROM main.\"%1\" ORDER BY rowid"_s.arg(name), db);
        text += name + u'\n';
        while (rows.next()) {
            for (int i = 0; i < rows.record().count(); ++i)
                text += rows.value(i).toString() + u'|';
            text += u'\n';
        }
    }
    return text;
}

// Makes the n-th row written to any table of the database fail, through temporary triggers that live
// only on this connection (the file itself never holds them).
class FaultInjection
{
public:
    explicit FaultInjection(QSqlDatabase db) : m_db(std::move(db))
    {
        QSqlQuery(u"CREATE TEMP TABLE fault_step (n INTEGER, at INTEGER)"_s, m_db);
        QSqlQuery(u"INSERT INTO fault_step VALUES (0, 0)"_s, m_db);
        QSqlQuery tables(
            u"SELECT name FROM main.sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'"_s, m_db);
        QStringList names;
        while (tables.next())
            names << tables.value(0).toString();
        for (const QString& table : names) {
            for (const QString& event : {u"INSERT"_s, u"UPDATE"_s, u"DELETE"_s}) {
                QSqlQuery(
                    u"CREATE TEMP TRIGGER fault_%1_%2 BEFORE %2 ON main.%1 BEGIN "
                    "UPDATE fault_step SET n = n + 1; "
                    "SELECT RAISE(ABORT, 'injected fault') WHERE (SELECT n = at FROM fault_step); END"_s.arg(
                        table, event),
                    m_db);
            }
        }
    }
    ~FaultInjection()
    {
        QSqlQuery tables(u"SELECT name FROM temp.sqlite_master WHERE type = 'trigger'"_s, m_db);
        QStringList names;
        while (tables.next())
            names << tables.value(0).toString();
        for (const QString& name : names)
            QSqlQuery(u"DROP TRIGGER temp.%1"_s.arg(name), m_db);
        QSqlQuery(u"DROP TABLE temp.fault_step"_s, m_db);
    }

    // The next write operation fails at its step-th row written (1 for the first); 0 never fails.
    void failAt(int step) { QSqlQuery(u"UPDATE fault_step SET n = 0, at = %1"_s.arg(step), m_db); }

    // Runs the operation failing at step 1, 2, ... until it goes through; after every failed run the
    // database must equal its state before. Returns the number of failed runs, or -1 at the first step
    // that left a change behind (the snapshot difference in *changed).
    int everyStep(const std::function<bool()>& operation, QString* changed)
    {
        const QString before = databaseSnapshot(m_db);
        for (int step = 1; step < 100000; ++step) {
            failAt(step);
            const bool ok = operation();
            if (ok) {
                failAt(0);
                return step - 1;
            }
            const QString after = databaseSnapshot(m_db);
            if (after != before) {
                *changed = u"step %1 left a change"_s.arg(step);
                return -1;
            }
        }
        return -1;
    }

private:
    QSqlDatabase m_db;
};
