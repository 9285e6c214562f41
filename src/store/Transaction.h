#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// One user operation: everything between begin and commit is stored whole or not at all. A guard left
// without commit() rolls back. Begun inside another transaction it is a savepoint of that one, so an
// operation can run as one step of a larger one.
class Transaction
{
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool isActive() const { return m_active; }
    bool commit();

    // How many guards are open on the connection: 0 outside any transaction.
    static int depth(const QSqlDatabase& db);
    // How many guards are open on this thread's connections: a message shown while one is open would
    // hold the rows it locked for as long as the user takes to read it.
    static int openOnThisThread();

    // Told by the store's statement helpers of a statement that failed. A server refuses every
    // command of a transaction that has failed, ending (deallocating) a prepared statement included,
    // until it is rolled back: each statement ended meanwhile would be left allocated on the server,
    // with the driver's warning. So the failed part, the innermost guard's work, is rolled back at
    // once and the guard doomed: its commit() refuses and rolls back, and a nested guard's refusal
    // dooms the one around it, as the failed transaction would. A file keeps its transaction usable
    // after a failed statement and needs none of this.
    static void statementFailed(const QSqlQuery& query);

private:
    QSqlDatabase m_db;
    bool m_active = false;
    // Set when this guard is a savepoint inside another one.
    QString m_savepoint;
};
