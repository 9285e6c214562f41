#include "RecipePrint.h"

#include "reports/Workbook.h"
#include "store/Database.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

std::optional<RecipePrint::Recipe> RecipePrint::read(qlonglong dish, QString* error,
                                                     const std::optional<QStringList>& shownLines) const
{
    QSqlQuery query(m_db);
    query.prepare(u"SELECT Name, Recept FROM Bludo WHERE Kod1 = ?"_s);
    query.addBindValue(dish);
    if (!query.exec()) {
        *error = sqlErrorText(query.lastError());
        return std::nullopt;
    }
    if (!query.next()) {
        *error = u"Блюдо не найдено."_s;
        return std::nullopt;
    }
    return Recipe{query.value(0).toString(),
                  shownLines ? *shownLines : splitLines(query.value(1).toString())};
}

bool RecipePrint::fill(Workbook& workbook, qlonglong dish, QString* error,
                       const std::optional<QStringList>& shownLines) const
{
    const std::optional<Recipe> recipe = read(dish, error, shownLines);
    if (!recipe)
        return false;
    fill(workbook, recipe->dishName, recipe->lines);
    return true;
}

void RecipePrint::fill(Workbook& workbook, const QString& dishName, const QStringList& lines)
{
    Sheet& sheet = workbook.sheet(1);
    sheet.setName(u"Рецепт"_s);
    // One page wide on A4: the last columns would otherwise print on pages of their own.
    sheet.setOnePageWide(true);
    sheet.setColumnWidth(1, 120);
    sheet.column(1).font().setName(u"Times New Roman"_s).setSize(14).setColor(0);
    sheet.cell(1, 1).setValue(u"Рецепт приготовления "_s + dishName);
    sheet.row(1).font().setSize(16).setBold(true);
    sheet.row(1).setHorizontalAlignment(HAlign::Center).setVerticalAlignment(VAlign::Center);
    int row = 3;
    for (const QString& line : lines)
        sheet.cell(row++, 1).setValue(line);
}

QStringList RecipePrint::splitLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    static const QRegularExpression lineBreak(u"\r\n|[\n\r\u2028\u2029]"_s);
    return text.split(lineBreak);
}
