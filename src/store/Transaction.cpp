#include "Transaction.h"

#include <QSqlDriver>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace {

// How many Transaction guards are open on a connection. Kept on its driver, which every copy of the
// connection shares, and counted by the guards themselves: no engine reports nesting the same way.
constexpr const char* transactionDepth = "kuhnemerTransactionDepth";
// A connection lives on one thread, so the guards of a thread are counted where they are.
thread_local int t_openOnThread = 0;
// The server connections of this thread where a statement failed: the depth of the outermost guard
// doomed by it. A guard at that depth or deeper cannot commit.
thread_local std::map<const QSqlDriver*, int> t_doomed;

int depthOf(const QSqlDriver* driver)
{
    return driver->property(transactionDepth).toInt();
}

void setDepth(const QSqlDatabase& db, int depth)
{
    t_openOnThread += depth - depthOf(db.driver());
    db.driver()->setProperty(transactionDepth, depth);
}

// The savepoint of the guard opened inside `outer` others.
QString savepointName(int outer)
{
    return u"operation_%1"_s.arg(outer);
}

bool isDoomed(const QSqlDriver* driver, int depth)
{
    const auto doomed = t_doomed.find(driver);
    return doomed != t_doomed.end() && doomed->second <= depth;
}

// The guard at `depth` rolled its work back: what doomed it is undone, the guards around it go on.
void rolledBack(const QSqlDriver* driver, int depth)
{
    if (const auto doomed = t_doomed.find(driver); doomed != t_doomed.end() && doomed->second >= depth)
        t_doomed.erase(doomed);
}

} // namespace

Transaction::Transaction(QSqlDatabase db) : m_db(std::move(db))
{
    // Inside another operation's transaction this one is a savepoint of it: a failure undoes only the
    // inner work, and nothing is stored before the outer commit.
    const int outer = depthOf(m_db.driver());
    if (outer > 0) {
        m_savepoint = savepointName(outer);
        m_active = QSqlQuery(m_db).exec(u"SAVEPOINT "_s + m_savepoint);
    } else {
        m_active = m_db.transaction();
    }
    if (m_active)
        setDepth(m_db, outer + 1);
}

int Transaction::depth(const QSqlDatabase& db)
{
    return db.driver() ? depthOf(db.driver()) : 0;
}

int Transaction::openOnThisThread()
{
    return t_openOnThread;
}

void Transaction::statementFailed(const QSqlQuery& query)
{
    const QSqlDriver* driver = query.driver();
    if (!driver || driver->dbmsType() != QSqlDriver::PostgreSQL)
        return;
    const int depth = depthOf(driver);
    if (depth == 0)
        return;
    // Plain statements, prepared nowhere: nothing of theirs to free.
    QSqlQuery undo(driver->createResult());
    if (depth == 1) {
        // The outermost guard's transaction, ended and begun again empty: its commit will refuse.
        undo.exec(u"ROLLBACK"_s);
        undo.exec(u"BEGIN"_s);
    } else {
        undo.exec(u"ROLLBACK TO SAVEPOINT "_s + savepointName(depth - 1));
    }
    const auto [doomed, first] = t_doomed.try_emplace(driver, depth);
    if (!first)
        doomed->second = std::min(doomed->second, depth);
}

Transaction::~Transaction()
{
    if (!m_active)
        return;
    const int depth = depthOf(m_db.driver());
    if (!m_savepoint.isEmpty()) {
        QSqlQuery(m_db).exec(u"ROLLBACK TO SAVEPOINT "_s + m_savepoint);
        QSqlQuery(m_db).exec(u"RELEASE SAVEPOINT "_s + m_savepoint);
    } else {
        m_db.rollback();
    }
    rolledBack(m_db.driver(), depth);
    setDepth(m_db, depth - 1);
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    const int depth = depthOf(m_db.driver());
    const bool doomed = isDoomed(m_db.driver(), depth);
    setDepth(m_db, depth - 1);
    if (!m_savepoint.isEmpty()) {
        if (!doomed)
            return QSqlQuery(m_db).exec(u"RELEASE SAVEPOINT "_s + m_savepoint);
        // Refused as the failed transaction would refuse it; the guard around it is doomed alike.
        QSqlQuery(m_db).exec(u"ROLLBACK TO SAVEPOINT "_s + m_savepoint);
        QSqlQuery(m_db).exec(u"RELEASE SAVEPOINT "_s + m_savepoint);
        t_doomed[m_db.driver()] = std::min(t_doomed[m_db.driver()], depth - 1);
        return false;
    }
    t_doomed.erase(m_db.driver());
    if (!doomed && m_db.commit())
        return true;
    // SQLite keeps the transaction open after a failed commit; the next operation must not find it.
    m_db.rollback();
    return false;
}
