#include "ThreadConnection.h"

#include <atomic>

using namespace Qt::StringLiterals;

ThreadConnection::ThreadConnection(const QSqlDatabase& kitchen) : m_address(Database::addressOf(kitchen)) {}

ThreadConnection::~ThreadConnection()
{
    close();
}

bool ThreadConnection::open(QString* error)
{
    static std::atomic_int opened = 0;
    const QString name = u"worker-%1"_s.arg(++opened);
    // The owner's connection has checked the kitchen's version and shape already.
    m_database = Database::openSibling(m_address, error, name);
    return m_database.has_value();
}

void ThreadConnection::close()
{
    if (!m_database)
        return;
    // The owner's connection stays open and checkpoints the log; a checkpoint here could wait on its
    // readers.
    m_database->close(Database::Registration::Remove, Database::Checkpoint::Leave);
    m_database.reset();
}
