#include "WholeFile.h"

#include <QDir>
#include <QSaveFile>

using namespace Qt::StringLiterals;

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error =
            u"Не удалось записать файл \"%1\": %2"_s.arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}
