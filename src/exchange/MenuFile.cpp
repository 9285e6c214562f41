#include "MenuFile.h"

#include "ExchangeNumbers.h"
#include "store/CodePage.h"

using namespace Qt::StringLiterals;

const QString MenuFile::headLine = u"<<<< МЕНЮ ПРОГРАММЫ КУХНЕМЕР >>>>"_s;
const QString MenuFile::groupLine = u"<<<< НОВАЯ ГРУППА МЕНЮ >>>>"_s;
const QString MenuFile::endLine = u"<<<< КОНЕЦ ФАЙЛА МЕНЮ ПРОГРАММЫ КУХНЕМЕР >>>>"_s;

std::optional<QByteArray> MenuFile::plainContent(const MenuFileContent& content, QChar decimalSeparator,
                                                 QString* error)
{
    QStringList lines{headLine,
                      QString::number(content.menu),
                      u"%1"_s.arg(content.date.day(), 2, 10, QChar(u'0')),
                      u"%1"_s.arg(content.date.month(), 2, 10, QChar(u'0')),
                      u"%1"_s.arg(content.date.year(), 4, 10, QChar(u'0')),
                      content.name};
    bool first = true;
    QString previousGroup;
    for (const MenuFileEntry& entry : content.entries) {
        if (first || entry.groupName != previousGroup) {
            lines << groupLine << QString::number(entry.group) << entry.groupName
                  << QString::number(entry.groupOrder) << u"1"_s << u"Кухнемер"_s;
        }
        first = false;
        previousGroup = entry.groupName;
        lines << QString::number(entry.dish) << entry.dishName
              << exchangenumbers::general(entry.price, decimalSeparator) << entry.yield << entry.extra
              << (entry.on ? u"1"_s : u"0"_s) << u"20"_s;
    }
    lines << endLine;

    qsizetype bad = 0;
    const std::optional<QByteArray> bytes = codepage::encodeLines(lines, codepage::Page::Windows1251, &bad);
    if (!bytes) {
        const QString& line = lines[bad];
        const QChar unencodable = codepage::firstUnencodable(line, codepage::Page::Windows1251);
        *error = unencodable.isNull()
                     ? u"Текст \"%1\" содержит перевод строки. Файл меню не записан."_s.arg(line)
                     : u"Текст \"%1\" содержит знак \"%2\", которого нет в кодировке "
                       "Windows-1251. Файл меню не записан."_s.arg(line, unencodable);
    }
    return bytes;
}
