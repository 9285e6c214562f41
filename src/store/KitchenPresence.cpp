#include "KitchenPresence.h"

#include "Database.h"
#include "Engine.h"

#include <QSqlQuery>
#include <QSysInfo>

#include <algorithm>

#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// What the server keeps of an application_name (it also replaces what is not printable ASCII).
constexpr qsizetype nameBytes = 63;
const QString tag = u"kuhnemer"_s;

// The lock's two keys: the program, then the kitchen's schema, so kitchens side by side in one
// database do not meet. The same keys as the lock pg_locks shows.
const QString keys = u"hashtext('kuhnemer'), hashtext(current_schema())"_s;

QString userName()
{
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty()) {
        if (const passwd* entry = ::getpwuid(::geteuid()))
            name = QString::fromLocal8Bit(entry->pw_name);
    }
    return name;
}

QByteArray encoded(const QString& text)
{
    return text.toUtf8().toPercentEncoding();
}

QString decoded(const QString& text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toLatin1()));
}

} // namespace

QString KitchenPresence::applicationName(const QString& kitchen)
{
    QString parts[] = {kitchen, QSysInfo::machineHostName(), userName()};
    auto compose = [&parts] {
        return tag.toLatin1() + ':' + encoded(parts[0]) + ':' + encoded(parts[1]) + ':' + encoded(parts[2]);
    };
    // Shortened a character at a time, longest part first: a name cut by the server could end inside
    // a character, and each part keeps what is most telling, its beginning.
    QByteArray name = compose();
    while (name.size() > nameBytes) {
        std::max_element(std::begin(parts), std::end(parts), [](const QString& a, const QString& b) {
            return encoded(a).size() < encoded(b).size();
        })->chop(1);
        name = compose();
    }
    return QString::fromLatin1(name);
}

KitchenPresence::Session KitchenPresence::fromApplicationName(const QString& name)
{
    const QStringList parts = name.split(u':');
    if (parts.size() < 3 || parts.at(0) != tag)
        return {};
    return {decoded(parts.at(2)), decoded(parts.value(3)), {}, false};
}

bool KitchenPresence::join(const QSqlDatabase& db, QString* error)
{
    if (Engine::of(db) != Engine::Postgres)
        return true;
    QSqlQuery query(db);
    if (!runQuery(query, u"SELECT pg_try_advisory_lock_shared(%1), current_schema()"_s.arg(keys), {},
                  error) ||
        !query.next())
        return false;
    if (query.value(0).toBool())
        return true;
    const QString kitchen = query.value(1).toString();
    query.finish();
    QList<Session> sessions;
    if (!others(db, &sessions, error))
        return false;
    QList<Session> alone;
    for (const Session& session : std::as_const(sessions)) {
        if (session.alone)
            alone << session;
    }
    *error = u"На кухне \"%1\" идёт операция, которая выполняется без других (%2). Откройте кухню, "
             "когда она закончится."_s.arg(kitchen, describe(alone));
    return false;
}

bool KitchenPresence::others(const QSqlDatabase& db, QList<Session>* sessions, QString* error)
{
    sessions->clear();
    if (Engine::of(db) != Engine::Postgres)
        return true;
    // A connection of the kitchen holds its lock (shared, or exclusively while it runs alone); the
    // lock's keys show as unsigned numbers, as the cast to oid gives them.
    return forEachRow(
        db,
        u"SELECT a.application_name, a.backend_start, bool_or(l.mode = 'ExclusiveLock') "
        "FROM pg_locks l JOIN pg_stat_activity a ON a.pid = l.pid "
        "WHERE l.locktype = 'advisory' AND l.granted AND l.objsubid = 2 "
        "AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database()) "
        "AND l.classid = hashtext('kuhnemer')::oid AND l.objid = hashtext(current_schema())::oid "
        "AND l.pid <> pg_backend_pid() "
        "GROUP BY a.pid, a.application_name, a.backend_start ORDER BY a.backend_start, a.pid"_s,
        [sessions](const QSqlQuery& row) {
            Session session = fromApplicationName(row.value(0).toString());
            if (session.workstation.isEmpty())
                session.workstation = u"неизвестная программа"_s;
            session.since = row.value(1).toDateTime();
            session.alone = row.value(2).toBool();
            sessions->append(session);
        },
        error);
}

bool KitchenPresence::holdAlone(const QSqlDatabase& db, const QString& operation, QString* error, Until until)
{
    if (Engine::of(db) != Engine::Postgres)
        return true;
    QSqlQuery query(db);
    const QString lock = until == Until::Closed ? u"pg_try_advisory_lock"_s : u"pg_try_advisory_xact_lock"_s;
    if (!runQuery(query, u"SELECT %1(%2)"_s.arg(lock, keys), {}, error) || !query.next())
        return false;
    if (query.value(0).toBool())
        return true;
    query.finish();
    QList<Session> sessions;
    if (!others(db, &sessions, error))
        return false;
    *error = u"%1 выполняется, только когда с кухней больше никто не работает. Сейчас её открыли: %2. "
             "Попросите их закрыть программу и повторите."_s.arg(operation, describe(sessions));
    return false;
}

QString KitchenPresence::describe(const QList<Session>& sessions)
{
    QStringList parts;
    const QDate today = QDate::currentDate();
    for (const Session& session : sessions) {
        QString part = session.user.isEmpty() ? session.workstation
                                              : u"%1 (%2)"_s.arg(session.workstation, session.user);
        if (session.since.isValid()) {
            const QDateTime local = session.since.toLocalTime();
            part += local.date() == today ? u", с %1"_s.arg(local.toString(u"HH:mm"_s))
                                          : u", с %1"_s.arg(local.toString(u"dd.MM.yyyy HH:mm"_s));
        }
        parts << part;
    }
    return parts.join(u"; "_s);
}
