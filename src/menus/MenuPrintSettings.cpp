#include "MenuPrintSettings.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <iconv.h>

using namespace Qt::StringLiterals;

namespace {

// Converts between code pages with the C library; nothing when a character has no place in the
// target (never silently replaced).
std::optional<QByteArray> convert(const QByteArray& input, const char* from, const char* to)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    QByteArray source = input;
    QByteArray output(input.size() * 4 + 4, '\0');
    char* in = source.data();
    size_t inLeft = size_t(source.size());
    char* out = output.data();
    size_t outLeft = size_t(output.size());
    const size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    if (result == size_t(-1) || inLeft != 0)
        return std::nullopt;
    output.truncate(output.size() - qsizetype(outLeft));
    return output;
}

} // namespace

MenuPrintSettings::MenuPrintSettings(const QString& dataDir) : m_path(QDir(dataDir).filePath(u"Sm.db"_s)) {}

QStringList MenuPrintSettings::defaults()
{
    return {u"р"_s, u"к"_s, u"Наименование блюда"_s, u"Выход"_s, u"Цена"_s};
}

std::optional<QStringList> MenuPrintSettings::load(QString* error) const
{
    if (!QFile::exists(m_path) && !write(defaults(), error))
        return std::nullopt;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"Не удалось прочитать файл \"%1\": %2"_s.arg(QDir::toNativeSeparators(m_path),
                                                               file.errorString());
        return std::nullopt;
    }
    const std::optional<QByteArray> utf8 = convert(file.readAll(), "CP1251", "UTF-8");
    if (!utf8) {
        *error = u"Файл \"%1\" не в кодировке Windows-1251."_s.arg(QDir::toNativeSeparators(m_path));
        return std::nullopt;
    }
    // Lines end in CR LF; a lone LF (a file edited elsewhere) ends a line as well.
    QStringList lines = QString::fromUtf8(*utf8).split(u'\n');
    QStringList texts;
    for (int i = 0; i < LineCount; ++i) {
        QString line = lines.value(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        texts << line;
    }
    return texts;
}

bool MenuPrintSettings::save(const QStringList& texts, QString* error, bool* written) const
{
    if (written)
        *written = false;
    const std::optional<QStringList> stored = load(error);
    if (!stored)
        return false;
    QStringList current;
    for (int i = 0; i < LineCount; ++i)
        current << texts.value(i);
    if (current == *stored)
        return true;
    if (!write(current, error))
        return false;
    if (written)
        *written = true;
    return true;
}

bool MenuPrintSettings::write(const QStringList& texts, QString* error) const
{
    QByteArray bytes;
    for (const QString& text : texts) {
        const std::optional<QByteArray> line = text.contains(u'\r') || text.contains(u'\n')
                                                   ? std::nullopt
                                                   : convert(text.toUtf8(), "UTF-8", "CP1251");
        if (!line) {
            *error =
                u"Текст \"%1\" содержит знаки, которых нет в кодировке Windows-1251. Настройки печати меню "
                "не сохранены."_s.arg(text);
            return false;
        }
        bytes += *line + "\r\n";
    }
    // Written whole or not at all: a failure keeps the previous texts.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = u"Не удалось записать файл \"%1\": %2"_s.arg(QDir::toNativeSeparators(m_path),
                                                              file.errorString());
        return false;
    }
    return true;
}
