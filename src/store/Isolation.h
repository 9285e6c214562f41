#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <functional>

// Operations that read a balance, a price or a document's state and write from it run isolated from
// every other connection's work, so that users posting at once get the figures one user posting after
// another gets. On a server that is the engine's serializable isolation: a transaction that would see
// another's work half-done fails with a serialization failure (or a deadlock), is rolled back whole and
// run again, a few times with a growing pause. A file kitchen needs nothing more: SQLite takes one
// writer at a time and one program holds the kitchen.
class Isolation
{
public:
    static constexpr int attempts = 16;

    // Runs work in one isolated transaction, as inTransaction does (*error cleared first): committed
    // when work returns true, rolled back when it returns false (a refusal, or a failure with *error
    // set); false on a failure only. The work may run more than once, so it starts from nothing each time and
    // never asks or tells the user: whatever it has to say is said after the return, with no transaction
    // open. Inside another transaction it is a savepoint of that one, which does the retrying.
    static bool run(QSqlDatabase db, QString* error, const std::function<bool()>& work);

    // The pieces of run() for a caller that owns its transaction (the worker): makes the transaction
    // just begun on db isolated (nothing on a file kitchen); false with the reason in *error.
    static bool isolate(QSqlDatabase db, QString* error);
    // Failures that another connection's work caused, seen on this thread so far: the attempt failed
    // for a conflict when the count grew while it ran.
    static int conflictsOnThisThread();
    // Waits before the attempt after `attempt` (1-based), longer each time and a little at random so
    // that the conflicting connections do not meet again; counts the retry.
    static void pauseBeforeRetry(int attempt);
    // What the user is told when every attempt met a conflict.
    static QString exhaustedText();
    // Conflicts retried in this process, for the stress program.
    static qint64 retriesSoFar();

    // Told of every database error the program reports (sqlErrorText), so a conflict is noticed
    // whichever statement met it.
    static void noteError(const QSqlError& error);
};
