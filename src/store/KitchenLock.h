#pragma once

#include <QString>

#include <memory>

class QLockFile;

// One program per kitchen: a lock file beside the database, held while the kitchen is open and
// released when the program ends. A lock left by a program that crashed is stale and taken over.
class KitchenLock
{
public:
    explicit KitchenLock(QString dataDir);
    ~KitchenLock();
    KitchenLock(const KitchenLock&) = delete;
    KitchenLock& operator=(const KitchenLock&) = delete;

    static constexpr const char* fileName = "kuhnemer.lock";

    // True when this object holds the kitchen (now or already); otherwise *error says who has it
    // open: the computer and the process.
    bool acquire(QString* error);
    bool isHeld() const;
    void release();
    // Another kitchen's folder, as when the user picks one at the first start; lets go of this one.
    void setDataDir(const QString& dataDir);

private:
    QString m_dataDir;
    std::unique_ptr<QLockFile> m_lock;
};
