#pragma once

#include "store/Database.h"

#include <QSqlDatabase>
#include <QString>

#include <optional>

// A connection of its own to the kitchen another connection has open, for a worker's thread: a Qt SQL
// connection may only be used on the thread that opened it. Made on the owner's thread (it takes what
// opening needs from the owner's connection there), opened and closed on the worker's.
class ThreadConnection
{
public:
    explicit ThreadConnection(const QSqlDatabase& kitchen);
    ~ThreadConnection();
    ThreadConnection(const ThreadConnection&) = delete;
    ThreadConnection& operator=(const ThreadConnection&) = delete;

    // Opens the connection on the calling thread; false with the reason in *error.
    bool open(QString* error);
    QSqlDatabase db() const { return m_database ? m_database->connection() : QSqlDatabase(); }
    // Closes it; on the thread that opened it. The destructor does it too.
    void close();

private:
    Database::Address m_address;
    std::optional<Database> m_database;
};
