#pragma once

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

// Who is working on a server kitchen. Every program that opens it holds a shared advisory lock of the
// server keyed by the kitchen's schema and tells the server who it is (application_name: the kitchen,
// the workstation and the user); the server's own session list then says who has the kitchen open and
// since when. An operation that must run alone takes the same lock exclusively inside its transaction,
// so it is refused while anyone else is in, and nobody comes in while it runs. A kitchen file keeps
// its one-program lock (KitchenLock): there every call here does nothing and finds nobody.
class KitchenPresence
{
public:
    struct Session
    {
        QString workstation;
        QString user;
        QDateTime since;    // invalid when the server does not show it to this user
        bool alone = false; // runs an operation that must run alone
    };

    // What a connection to the kitchen tells the server about itself, at most the 63 bytes the server
    // keeps, in printable ASCII (the server replaces anything else).
    static QString applicationName(const QString& kitchen);
    // The workstation and the user from such a name; empty for a name another program gave.
    static Session fromApplicationName(const QString& name);

    // Comes into the kitchen for the life of the connection, beside the others. False, naming who runs
    // an operation alone there, while one does.
    static bool join(const QSqlDatabase& db, QString* error);
    // The other connections in the kitchen, in the order they came in.
    static bool others(const QSqlDatabase& db, QList<Session>* sessions, QString* error);
    // How long a kitchen taken for an operation stays taken: until the transaction open on db ends, or,
    // for work that cannot run in one transaction (the server's maintenance), until db is closed.
    enum class Until
    {
        TransactionEnd,
        Closed
    };
    // Takes the kitchen for `operation`. False, naming the others, when anyone else is in.
    static bool holdAlone(const QSqlDatabase& db, const QString& operation, QString* error,
                          Until until = Until::TransactionEnd);

    // "ПК-2 (иван), с 08:40; ..." for the user.
    static QString describe(const QList<Session>& sessions);
};
