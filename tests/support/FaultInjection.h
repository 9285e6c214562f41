#pragma once

#include "store/Database.h"
#include "store/Engine.h"
#include "store/Schema.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include <functional>

using namespace Qt::StringLiterals;

// Every row of every table, as text: two snapshots are equal when the database did not change. On
// SQLite with its table of the highest keys given, in stored order; on a server in the order of each
// table's key.
inline QString databaseSnapshot(const QSqlDatabase& db)
{
    const bool file = Engine::of(db) == Engine::Sqlite;
    QStringList names;
    if (file) {
        QSqlQuery tables(u"SELECT name FROM main.sqlite_master WHERE type = 'table' ORDER BY name"_s, db);
        while (tables.next())
            names << tables.value(0).toString();
    } else {
        names = schema::tableNames(db);
        names.sort(Qt::CaseInsensitive);
    }
    QString text;
    for (const QString& name : names) {
        QString order = u"rowid"_s;
        if (!file) {
            order = u"1"_s;
            for (const schema::DeclaredField& field : schema::declaredFields(name))
                if (field.key)
                    order = field.name;
        }
        QSqlQuery rows(u"SELECT * FROM %1 ORDER BY %2"_s.arg(name, order), db);
        text += name + u'\n';
        while (rows.next()) {
            for (int i = 0; i < rows.record().count(); ++i)
                text += rows.value(i).toString() + u'|';
            text += u'\n';
        }
    }
    return text;
}

// Makes every row written to a table by `event` (INSERT, UPDATE, DELETE) fail with the message while
// the SQL condition holds (always when empty): a trigger of this connection on SQLite (the file never
// holds it), of the test kitchen's schema on a server, with a function of the session there. Returns
// the trigger's name for dropWriteRefusal.
inline QString refuseWrites(const QSqlDatabase& db, const QString& table, const QString& event,
                            const QString& message, const QString& condition = {})
{
    static int counter = 0;
    const QString name = u"refuse_%1_%2"_s.arg(table.toLower()).arg(++counter);
    const QString when = condition.isEmpty() ? u"TRUE"_s : condition;
    QString error;
    bool made = false;
    if (Engine::of(db) == Engine::Sqlite) {
        made = execSql(
            db,
            u"CREATE TEMP TRIGGER %1 BEFORE %2 ON main.%3 WHEN %4 BEGIN SELECT RAISE(ABORT, '%5'); END"_s.arg(
                name, event, table, when, message),
            {}, &error);
    } else {
        made = execSql(db,
                       u"CREATE FUNCTION pg_temp.%1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                       "IF %2 THEN RAISE EXCEPTION '%3'; END IF; "
                       "IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $$"_s.arg(name, when,
                                                                                               message),
                       {}, &error) &&
               execSql(db,
                       u"CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW EXECUTE FUNCTION pg_temp.%1()"_s.arg(
                           name, event, table),
                       {}, &error);
    }
    if (!made)
        qFatal("cannot refuse writes to %s: %s", qPrintable(table), qPrintable(error));
    return name;
}

inline void dropWriteRefusal(const QSqlDatabase& db, const QString& name, const QString& table)
{
    if (Engine::of(db) == Engine::Sqlite)
        execSql(db, u"DROP TRIGGER temp.%1"_s.arg(name));
    else
        execSql(db, u"DROP TRIGGER %1 ON %2"_s.arg(name, table));
}

// Makes the n-th row written to any table of the database fail, through refusals that count the rows
// written in a table of the session.
class FaultInjection
{
public:
    explicit FaultInjection(QSqlDatabase db) : m_db(std::move(db))
    {
        QSqlQuery(u"CREATE TEMP TABLE fault_step (n INTEGER, at INTEGER)"_s, m_db);
        QSqlQuery(u"INSERT INTO fault_step VALUES (0, 0)"_s, m_db);
        // SQLite counts in the trigger's own statements, the server in a function of the session that
        // also answers whether this row fails: a sub-select beside it would read the count as it was
        // before the row, and the first row written would never fail.
        const bool file = Engine::of(m_db) == Engine::Sqlite;
        if (!file)
            execSql(m_db, u"CREATE FUNCTION pg_temp.fault_now() RETURNS boolean LANGUAGE sql AS "
                          "'UPDATE fault_step SET n = n + 1 RETURNING n = at'"_s);
        for (const QString& table : schema::tableNames(m_db)) {
            for (const QString& event : {u"INSERT"_s, u"UPDATE"_s, u"DELETE"_s}) {
                if (file) {
                    const QString name = u"fault_%1_%2"_s.arg(table, event);
                    QSqlQuery(
                        u"CREATE TEMP TRIGGER %1 BEFORE %2 ON main.%3 BEGIN "
                        "UPDATE fault_step SET n = n + 1; "
                        "SELECT RAISE(ABORT, 'injected fault') WHERE (SELECT n = at FROM fault_step); END"_s
                            .arg(name, event, table),
                        m_db);
                    m_triggers.append({name, table});
                } else {
                    m_triggers.append(
                        {refuseWrites(m_db, table, event, u"injected fault"_s, u"pg_temp.fault_now()"_s),
                         table});
                }
            }
        }
    }
    ~FaultInjection()
    {
        for (const auto& [name, table] : std::as_const(m_triggers))
            dropWriteRefusal(m_db, name, table);
        QSqlQuery(u"DROP TABLE fault_step"_s, m_db);
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
    QList<QPair<QString, QString>> m_triggers; // name, table
};
