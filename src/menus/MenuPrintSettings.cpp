#include "MenuPrintSettings.h"

#include "store/CodePage.h"
#include "store/WholeFile.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

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
                                                               readErrorText(m_path));
        return std::nullopt;
    }
    const std::optional<QString> content = codepage::decode(file.readAll(), codepage::Page::Windows1251);
    if (!content) {
        *error = u"Файл \"%1\" не в кодировке Windows-1251."_s.arg(QDir::toNativeSeparators(m_path));
        return std::nullopt;
    }
    // Lines end in CR LF; a lone LF (a file edited elsewhere) ends a line as well.
    QStringList lines = content->split(u'\n');
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
    qsizetype bad = 0;
    const std::optional<QByteArray> bytes = codepage::encodeLines(texts, codepage::Page::Windows1251, &bad);
    if (!bytes) {
        *error = u"Текст \"%1\" содержит знаки, которых нет в кодировке Windows-1251. Настройки печати меню "
                 "не сохранены."_s.arg(texts[bad]);
        return false;
    }
    // Written whole or not at all: a failure keeps the previous texts.
    return writeWholeFile(m_path, *bytes, error);
}
