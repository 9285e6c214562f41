#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

// Retries what a signal interrupted; a short write is continued, a failed one reported.
bool writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

QString systemErrorText(int error)
{
    switch (error) {
    case ENOSPC:
        return u"на диске нет места. Освободите место или выберите другую папку"_s;
    case EDQUOT:
        return u"исчерпана дисковая квота пользователя. Освободите место или выберите другую папку"_s;
    case EFBIG:
        return u"файл больше, чем позволяет диск или система. Выберите другую папку"_s;
    case EROFS:
        return u"диск доступен только для чтения. Выберите другую папку"_s;
    case EACCES:
    case EPERM:
        return u"нет прав на запись в эту папку или файл. Выберите другую папку"_s;
    case ENOENT:
    case ENOTDIR:
        return u"папка не существует. Выберите другую папку"_s;
    case EIO:
        return u"ошибка чтения или записи диска. Проверьте диск или выберите другую папку"_s;
    case EISDIR:
        return u"под этим именем уже есть папка. Выберите другое имя"_s;
    default:
        return u"системная ошибка %1 (%2)"_s.arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

QString readErrorText(const QString& path)
{
    const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return u"файл не читается"_s;
    }
    switch (errno) {
    case ENOENT:
        return u"такого файла нет. Проверьте имя и папку"_s;
    case EACCES:
    case EPERM:
        return u"нет прав на чтение этого файла"_s;
    case EISDIR:
        return u"это папка, а не файл. Выберите файл"_s;
    default:
        return systemErrorText(errno);
    }
}

StagedFile::StagedFile(QString target) : m_target(std::move(target)) {}

StagedFile::~StagedFile()
{
    if (!m_temporary.isEmpty() && !m_placed)
        ::unlink(nativePath(m_temporary).constData());
}

QString StagedFile::failure(const QString& path, int error) const
{
    return u"Не удалось записать файл \"%1\": %2. Прежний файл не изменён."_s.arg(
        QDir::toNativeSeparators(path), systemErrorText(error));
}

bool StagedFile::write(const QByteArray& bytes, QString* error)
{
    const QFileInfo target(m_target);
    // A file that exists keeps its permissions; a new one gets the usual ones through the umask.
    struct stat existing
    {
    };
    const bool replacing = ::stat(nativePath(target.absoluteFilePath()).constData(), &existing) == 0;
    if (replacing && S_ISDIR(existing.st_mode)) {
        *error = failure(m_target, EISDIR);
        return false;
    }
    QByteArray pattern = nativePath(target.absolutePath() + u"/."_s + target.fileName() + u".XXXXXX"_s);
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        *error = failure(m_target, errno);
        return false;
    }
    m_temporary = QFile::decodeName(pattern);
    ::fchmod(
        fd, replacing ? (existing.st_mode & 07777) : [] {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            return static_cast<mode_t>(0666 & ~mask);
        }());
    // The sync matters: a delayed allocation may fail only there, and a file that is not on the disk
    // must not take the old one's name.
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        *error = failure(m_target, written ? errno : writeError);
        return false;
    }
    return true;
}

bool StagedFile::replaceTarget(QString* error)
{
    if (::rename(nativePath(m_temporary).constData(), nativePath(m_target).constData()) != 0) {
        *error = failure(m_target, errno);
        return false;
    }
    m_placed = true;
    syncFolder(QFileInfo(m_target).absolutePath());
    return true;
}

bool StagedFile::placeAs(const QString& path, bool* taken, QString* error)
{
    *taken = false;
    // A hard link never replaces an existing file, even one made a moment ago by another program.
    if (::link(nativePath(m_temporary).constData(), nativePath(path).constData()) == 0) {
        syncFolder(QFileInfo(path).absolutePath());
        return true;
    }
    const int linkError = errno;
    if (linkError == EEXIST) {
        *taken = true;
        return false;
    }
    // A file system without hard links: a rename, which Qt refuses over an existing file.
    if (!QFileInfo::exists(path) && QFile::rename(m_temporary, path)) {
        m_placed = true;
        return true;
    }
    if (QFileInfo::exists(path)) {
        *taken = true;
        return false;
    }
    *error = failure(path, linkError);
    return false;
}

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    StagedFile file(path);
    return file.write(bytes, error) && file.replaceTarget(error);
}

bool writeWholeFiles(const QList<QPair<QString, QByteArray>>& files, QString* error)
{
    std::vector<std::unique_ptr<StagedFile>> staged;
    for (const auto& [path, bytes] : files) {
        staged.push_back(std::make_unique<StagedFile>(path));
        if (!staged.back()->write(bytes, error))
            return false;
    }
    // Every new file is on the disk; the old ones are kept under a second name until all new ones
    // have their names, so that a failed rename can put the set back.
    struct Kept
    {
        QString target;
        QString copy; // empty: there was no such file
    };
    std::vector<Kept> kept;
    const auto putBack = [&kept](std::size_t renamed) {
        for (std::size_t i = 0; i < renamed; ++i) {
            if (kept[i].copy.isEmpty())
                ::unlink(nativePath(kept[i].target).constData());
            else
                ::rename(nativePath(kept[i].copy).constData(), nativePath(kept[i].target).constData());
        }
        for (std::size_t i = renamed; i < kept.size(); ++i)
            if (!kept[i].copy.isEmpty())
                ::unlink(nativePath(kept[i].copy).constData());
    };
    for (const auto& file : staged) {
        Kept old{file->target(), {}};
        if (QFileInfo::exists(file->target())) {
            const QFileInfo target(file->target());
            old.copy = target.absolutePath() + u"/."_s + target.fileName() + u".old"_s;
            ::unlink(nativePath(old.copy).constData());
            if (::link(nativePath(old.target).constData(), nativePath(old.copy).constData()) != 0) {
                *error = u"Не удалось записать файл \"%1\": %2. Прежние файлы не изменены."_s.arg(
                    QDir::toNativeSeparators(old.target), systemErrorText(errno));
                putBack(0);
                return false;
            }
        }
        kept.push_back(old);
    }
    for (std::size_t i = 0; i < staged.size(); ++i) {
        if (!staged[i]->replaceTarget(error)) {
            putBack(i);
            return false;
        }
    }
    putBack(0); // every rename took: only the kept copies go
    return true;
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
