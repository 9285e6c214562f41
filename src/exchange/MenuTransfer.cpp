#include "MenuTransfer.h"

#include "DbfTable.h"
#include "Envelope.h"
#include "menus/MenuBook.h"
#include "store/Database.h"
#include "store/Rounding.h"
#include "store/UserPrompts.h"
#include "store/WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

const QString caption = u"Передача меню"_s;

} // namespace

std::optional<QString> MenuTransfer::groupCode(qlonglong key)
{
    static const QString digits = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"_s;
    if (key < 0 || key >= 62 * 62)
        return std::nullopt;
    QString code = key >= 62 ? QString(digits[int(key / 62)]) : u"0"_s;
    code += digits[int(key % 62)];
    return code.leftJustified(10, QChar(u'0'));
}

bool MenuTransfer::fail(const QString& text)
{
    m_prompts.warn(caption, text);
    return false;
}

std::optional<MenuFileContent> MenuTransfer::contentOf(qlonglong menu, QString* error) const
{
    QSqlQuery query(m_db);
    if (!runQuery(query, u"SELECT Kod, Date, Name FROM Menu WHERE Kod = ?"_s, {menu}, error))
        return std::nullopt;
    if (!query.next()) {
        *error = u"Меню не найдено."_s;
        return std::nullopt;
    }
    MenuFileContent content;
    content.menu = query.value(0).toLongLong();
    content.date = QDate::fromString(query.value(1).toString(), Qt::ISODate);
    content.name = query.value(2).toString();
    query.finish();
    // The group is the dish's group now, looked up through the dish.
    const QString entries =
        u"SELECT s.Name, b.Name, s.CenaProd, b.Vixod, b.X, s.Status, b.Kod, g.Name, g.N "
        "FROM MenuSp s LEFT JOIN Bludo b ON b.Kod1 = s.Name LEFT JOIN Grbludo g ON g.Kod = b.Kod "
        "WHERE s.Kod = ? ORDER BY "_s +
        u"s."_s + MenuBook::entryOrder().join(u", s."_s);
    if (!forEachRow(
            m_db, entries, {menu},
            [&content](const QSqlQuery& row) {
                MenuFileEntry entry;
                entry.dish = qlonglong(rounding::wholeNumber(row.value(0).toDouble()));
                entry.dishName = row.value(1).toString();
                entry.price = row.value(2).toDouble();
                entry.yield = row.value(3).toString();
                entry.extra = row.value(4).toString();
                entry.on = row.value(5).toBool();
                entry.group = qlonglong(rounding::wholeNumber(row.value(6).toDouble()));
                entry.groupName = row.value(7).toString();
                entry.groupOrder = rounding::toInt(row.value(8).toDouble());
                content.entries << entry;
            },
            error)) {
        return std::nullopt;
    }
    return content;
}

bool MenuTransfer::mayWriteMenuFile(const QVariant& menu)
{
    if (menu.isNull())
        return false;
    if (!MenuBook::isReleased(m_db, menu))
        return fail(u"Нельзя передавать неразрешённое к использованию меню !!!"_s);
    return true;
}

bool MenuTransfer::writeMenuFile(const QVariant& menu, const QString& path, const QDateTime& now,
                                 QChar decimalSeparator)
{
    if (!mayWriteMenuFile(menu))
        return false;
    QString error;
    const std::optional<MenuFileContent> content = contentOf(menu.toLongLong(), &error);
    if (!content)
        return fail(error);
    if (!content->date.isValid())
        return fail(u"У меню нет даты. Файл меню не записан."_s);
    const std::optional<QByteArray> plain = MenuFile::plainContent(*content, decimalSeparator, &error);
    if (!plain)
        return fail(error);
    const std::optional<QByteArray> stored = Envelope::wrap(*plain, Envelope::seedOf(now));
    if (!stored)
        return fail(u"Меню слишком велико для файла меню."_s);
    if (!writeWholeFile(path, *stored, &error))
        return fail(error);
    return true;
}

bool MenuTransfer::writeTorgTables(const QVariant& menu, const QString& productsPath, const QDate& today)
{
    if (menu.isNull())
        return false;
    QString error;
    const std::optional<MenuFileContent> content = contentOf(menu.toLongLong(), &error);
    if (!content)
        return fail(error);
    QList<QVariantList> products;
    QList<QVariantList> names;
    qlonglong lastGroup = -999;
    for (const MenuFileEntry& entry : content->entries) {
        if (!entry.on)
            continue;
        const std::optional<QString> code = groupCode(entry.group);
        if (!code) {
            return fail(
                u"Код группы \"%1\" (%2) не помещается в два знака кода группы программы Torg Service. "
                "Таблицы не записаны."_s.arg(entry.groupName)
                    .arg(entry.group));
        }
        if (entry.group != lastGroup) {
            lastGroup = entry.group;
            names << QVariantList{*code, entry.groupName, 1};
        }
        products << QVariantList{QString::number(entry.dish).rightJustified(13, QChar(u'0')),
                                 entry.dishName,
                                 entry.price,
                                 QVariant(),
                                 QVariant(),
                                 QVariant(),
                                 *code,
                                 QVariant(),
                                 QVariant()};
    }
    const std::optional<QByteArray> productsTable =
        DbfTable::filled(DbfTable::productsFields(), products, today, &error);
    if (!productsTable)
        return fail(error);
    const std::optional<QByteArray> namesTable =
        DbfTable::filled(DbfTable::namesFields(), names, today, &error);
    if (!namesTable)
        return fail(error);
    const QDir directory = QFileInfo(productsPath).absoluteDir();
    // The till reads the three together: a set half new and half old would be worse than none.
    if (!writeWholeFiles({{productsPath, *productsTable},
                          {directory.filePath(u"Names.dbf"_s), *namesTable},
                          {directory.filePath(u"Zimp.zfl"_s), QByteArrayLiteral("CLEAR_PRODUCTS\r\n")}},
                         &error))
        return fail(error);
    return true;
}

bool MenuTransfer::write(PointOfSale program, const QVariant& menu, const QString& path, const QDateTime& now,
                         QChar decimalSeparator)
{
    return program == PointOfSale::Bufeton ? writeMenuFile(menu, path, now, decimalSeparator)
                                           : writeTorgTables(menu, path, now.date());
}
