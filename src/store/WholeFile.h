#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Files are written whole or not at all: the bytes go to a hidden temporary file beside the target,
// every write, the sync to disk and the close are checked, and only then does the file take its name.
// A full disk, a read-only file system or a failing device is a failure told in Russian, and whatever
// had the name before is left as it was.

// The Russian reason for a system error number, with what the user can do about it.
QString systemErrorText(int error);

// Why a file cannot be opened for reading, in Russian (the system's reason, asked again).
QString readErrorText(const QString& path);

// One file being written under a temporary name in the folder of its target.
class StagedFile
{
public:
    explicit StagedFile(QString target);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the temporary file, writes every byte, syncs and closes it.
    bool write(const QByteArray& bytes, QString* error);
    // Renames the written file over the target.
    bool replaceTarget(QString* error);
    // Gives the written file the name 'path' only if no file has it; *taken tells a name in use apart
    // from a failure.
    bool placeAs(const QString& path, bool* taken, QString* error);

    const QString& target() const { return m_target; }

private:
    QString failure(const QString& path, int error) const;

    QString m_target;
    QString m_temporary;
    bool m_placed = false;
};

// False with "Не удалось записать файл …" in *error.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error);

// A set of files that belong together (a table and its companions): afterwards either all of them are
// the new ones or all are as they were.
bool writeWholeFiles(const QList<QPair<QString, QByteArray>>& files, QString* error);

// Makes a folder's entries (a rename, a new name) durable.
void syncFolder(const QString& folder);
