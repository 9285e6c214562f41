#pragma once

#include "MenuFile.h"
#include "PointOfSale.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <optional>

class UserPrompts;

// The transfer of a menu to the point-of-sale programs: the scrambled menu file for the sibling
// program and the dBase product tables with their command file for Torg Service. Every text is
// converted and every group code made before a file is written.
class MenuTransfer
{
public:
    MenuTransfer(QSqlDatabase db, UserPrompts& prompts) : m_db(std::move(db)), m_prompts(prompts) {}

    // The group code of a group key: base 62, at least two digits, "0" appended to ten characters;
    // nothing for a key of 3844 or more, whose code would need a third digit and lose it.
    static std::optional<QString> groupCode(qlonglong key);

    // The menu as the menu file carries it: every entry, switched on or off, in the entry order.
    std::optional<MenuFileContent> contentOf(qlonglong menu, QString* error) const;

    // Refuses, with the message, a menu that is not released: asked before the file name is.
    bool mayWriteMenuFile(const QVariant& menu);

    // The menu file: refused for a menu not released; otherwise written whole (replacing a file of
    // that name) with the seed of the given moment. True when written.
    bool writeMenuFile(const QVariant& menu, const QString& path, const QDateTime& now,
                       QChar decimalSeparator);

    // Products.dbf at the chosen path, Names.dbf and Zimp.zfl beside it, from the switched-on
    // entries. The date marks the tables' last change. True when written.
    bool writeTorgTables(const QVariant& menu, const QString& productsPath, const QDate& today);

    // What the program takes: the menu file at the path, or the product tables with Products.dbf at
    // the path. True when written.
    bool write(PointOfSale program, const QVariant& menu, const QString& path, const QDateTime& now,
               QChar decimalSeparator);

private:
    bool fail(const QString& text);

    QSqlDatabase m_db;
    UserPrompts& m_prompts;
};
