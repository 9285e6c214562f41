#include "ThreadConnection.h"

#include <QFileInfo>

#include <atomic>

using namespace Qt::StringLiterals;

ThreadConnection::ThreadConnection(const QSqlDatabase& kitchen)
    : m_dataDir(QFileInfo(kitchen.databaseName()).absolutePath())
{
}

ThreadConnection::~ThreadConnection()
{
    close();
}

bool ThreadConnection::open(QString* error)
{
    static std::atomic_int opened = 0;
    const QString name = u"worker-%1"_s.arg(++opened);
    // The owner's connection has checked the kitchen's version and shape already.
    m_database = Database::open(m_dataDir, error, name, Database::Shape::AsFound);
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
