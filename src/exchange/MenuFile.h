#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// One entry of a transferred menu, with the dish's current group.
struct MenuFileEntry
{
    qlonglong dish = 0;
    QString dishName;
    double price = 0;
    QString yield;
    QString extra;
    bool on = true;
    qlonglong group = 0;
    QString groupName;
    int groupOrder = 0;
};

struct MenuFileContent
{
    qlonglong menu = 0;
    QDate date;
    QString name;
    QList<MenuFileEntry> entries; // in the menu's entry order
};

// The plain content of the menu file for the sibling point-of-sale program (Windows-1251, CR LF): six
// head lines, a group block wherever the group name changes, an entry block per entry, the end line.
class MenuFile
{
public:
    static const QString headLine;
    static const QString groupLine;
    static const QString endLine;

    // Nothing, with the reason in *error, when a text does not fit Windows-1251 or holds a line break.
    static std::optional<QByteArray> plainContent(const MenuFileContent& content, QChar decimalSeparator,
                                                  QString* error);
};
