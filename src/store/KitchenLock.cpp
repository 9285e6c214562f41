#include "KitchenLock.h"

#include <QDir>
#include <QLockFile>

using namespace Qt::StringLiterals;

KitchenLock::KitchenLock(QString dataDir) : m_dataDir(std::move(dataDir)) {}

KitchenLock::~KitchenLock() = default;

bool KitchenLock::isHeld() const
{
    return m_lock && m_lock->isLocked();
}

bool KitchenLock::acquire(QString* error)
{
    if (isHeld())
        return true;
    auto lock = std::make_unique<QLockFile>(QDir(m_dataDir).filePath(QString::fromLatin1(fileName)));
    // Never stale by age: a kitchen may stay open for days. A lock whose process is gone is stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return true;
    }
    const QString dir = QDir::toNativeSeparators(m_dataDir);
    qint64 pid = 0;
    QString host, application;
    if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &application)) {
        *error = u"Кухня \"%1\" уже открыта: программа %2 (процесс %3) на компьютере \"%4\". "
                 "Закройте её там и откройте кухню снова."_s
                     .arg(dir, application.isEmpty() ? u"Кухнемер"_s : application)
                     .arg(pid)
                     .arg(host);
    } else if (lock->error() == QLockFile::PermissionError) {
        *error = u"Кухню \"%1\" нельзя открыть: нет права записи в каталог данных."_s.arg(dir);
    } else {
        *error = u"Кухня \"%1\" уже открыта другой программой."_s.arg(dir);
    }
    return false;
}

void KitchenLock::release()
{
    m_lock.reset();
}

void KitchenLock::setDataDir(const QString& dataDir)
{
    release();
    m_dataDir = dataDir;
}
