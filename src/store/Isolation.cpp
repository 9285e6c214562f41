#include "Isolation.h"

#include "Database.h"
#include "Engine.h"

#include <QRandomGenerator>
#include <QThread>

#include <algorithm>
#include <atomic>

using namespace Qt::StringLiterals;

namespace {

thread_local int t_conflicts = 0;
std::atomic<qint64> g_retries = 0;

// The server's words for "another transaction's work is in the way, try again": a serialization
// failure and a deadlock. The server rolls the transaction back in both cases.
bool isConflict(const QSqlError& error)
{
    const QString state = error.nativeErrorCode();
    return state == u"40001"_s || state == u"40P01"_s;
}

} // namespace

void Isolation::noteError(const QSqlError& error)
{
    if (isConflict(error))
        ++t_conflicts;
}

int Isolation::conflictsOnThisThread()
{
    return t_conflicts;
}

qint64 Isolation::retriesSoFar()
{
    return g_retries.load();
}

bool Isolation::isolate(QSqlDatabase db, QString* error)
{
    if (Engine::of(db) != Engine::Postgres)
        return true;
    return execSql(db, u"SET TRANSACTION ISOLATION LEVEL SERIALIZABLE"_s, {}, error);
}

void Isolation::pauseBeforeRetry(int attempt)
{
    ++g_retries;
    // 5, 10, 20 ... ms up to half a second, each between half and the whole of it.
    const int ceiling = std::min(500, 5 << std::min(attempt - 1, 7));
    QThread::msleep(ulong(ceiling / 2 + QRandomGenerator::global()->bounded(ceiling / 2 + 1)));
}

QString Isolation::exhaustedText()
{
    return u"Другие рабочие места изменяли те же данные, и операция %1 раз подряд не смогла их записать. "
           "Ничего не изменено; повторите операцию."_s.arg(attempts);
}

bool Isolation::run(QSqlDatabase db, QString* error, const std::function<bool()>& work)
{
    error->clear();
    // Nested, or on a file: the outer transaction or the file's one writer keeps the work whole.
    if (Engine::of(db) != Engine::Postgres || Transaction::depth(db) > 0)
        return inTransaction(db, error, work);
    for (int attempt = 1;; ++attempt) {
        error->clear();
        const int conflictsBefore = t_conflicts;
        bool done = false;
        {
            Transaction transaction(db);
            if (!transaction.isActive()) {
                *error = sqlErrorText(db.lastError());
                return false;
            }
            if (!isolate(db, error))
                return false;
            if (work()) {
                done = transaction.commit();
                if (!done)
                    *error = sqlErrorText(db.lastError());
            } else if (error->isEmpty()) {
                return true; // refused: rolled back, nothing to retry
            }
        }
        if (done)
            return true;
        if (t_conflicts == conflictsBefore)
            return false;
        if (attempt == attempts) {
            *error = exhaustedText();
            return false;
        }
        pauseBeforeRetry(attempt);
    }
}
