#include "DesktopApplications.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace desktopapps {

namespace {

using Groups = QHash<QString, QHash<QString, QString>>;

// The groups and keys of a desktop or mimeapps.list file; localized keys and comments skipped.
Groups readIni(const QString& path)
{
    Groups groups;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || file.size() > 1024 * 1024)
        return groups;
    QString group;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            groups[group].insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return groups;
}

QStringList splitList(const QString& value)
{
    return value.split(u';', Qt::SkipEmptyParts);
}

QStringList dirsOf(const char* listVariable, const QString& fallback, const char* homeVariable,
                   const QString& homeFallback)
{
    QString home = qEnvironmentVariable(homeVariable);
    if (home.isEmpty())
        home = QDir::homePath() + homeFallback;
    QString list = qEnvironmentVariable(listVariable);
    if (list.isEmpty())
        list = fallback;
    return QStringList{home} + list.split(u':', Qt::SkipEmptyParts);
}

QStringList dataDirs()
{
    return dirsOf("XDG_DATA_DIRS", u"/usr/local/share:/usr/share"_s, "XDG_DATA_HOME", u"/.local/share"_s);
}

QStringList configDirs()
{
    return dirsOf("XDG_CONFIG_DIRS", u"/etc/xdg"_s, "XDG_CONFIG_HOME", u"/.config"_s);
}

// The desktop file of an application id that can run: found, not hidden, with a command whose
// TryExec (when given) exists.
QString usable(const QString& id)
{
    for (const QString& dir : dataDirs()) {
        QString path = dir + u"/applications/"_s + id;
        if (!QFileInfo::exists(path))
            path = dir + u"/applications/"_s + QString(id).replace(u'-', u'/');
        if (!QFileInfo(path).isFile())
            continue;
        const auto entry = readIni(path).value(u"Desktop Entry"_s);
        if (entry.value(u"Hidden"_s) == u"true"_s || entry.value(u"Exec"_s).isEmpty())
            return {};
        const QString tryExec = entry.value(u"TryExec"_s);
        if (!tryExec.isEmpty() &&
            (QFileInfo(tryExec).isAbsolute() ? !QFileInfo(tryExec).isExecutable()
                                             : QStandardPaths::findExecutable(tryExec).isEmpty()))
            return {};
        return path;
    }
    return {};
}

} // namespace

QString defaultApplication(const QString& mimeType)
{
    QStringList lists;
    for (const QString& dir : configDirs())
        lists << dir + u"/mimeapps.list"_s;
    for (const QString& dir : dataDirs())
        lists << dir + u"/applications/mimeapps.list"_s << dir + u"/applications/defaults.list"_s;
    QStringList added;
    QStringList removed;
    for (const QString& list : lists) {
        const Groups groups = readIni(list);
        for (const QString& id : splitList(groups.value(u"Default Applications"_s).value(mimeType))) {
            if (!removed.contains(id))
                if (const QString path = usable(id); !path.isEmpty())
                    return path;
        }
        added << splitList(groups.value(u"Added Associations"_s).value(mimeType));
        removed << splitList(groups.value(u"Removed Associations"_s).value(mimeType));
    }
    for (const QString& id : added) {
        if (!removed.contains(id))
            if (const QString path = usable(id); !path.isEmpty())
                return path;
    }
    // No default named: any installed application that says it handles the type.
    for (const QString& dir : dataDirs()) {
        QDirIterator it(dir + u"/applications"_s, {u"*.desktop"_s}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const auto entry = readIni(path).value(u"Desktop Entry"_s);
            if (!splitList(entry.value(u"MimeType"_s)).contains(mimeType))
                continue;
            const QString id = QDir(dir + u"/applications"_s).relativeFilePath(path).replace(u'/', u'-');
            if (!removed.contains(id) && usable(id) == path)
                return path;
        }
    }
    return {};
}

} // namespace desktopapps
