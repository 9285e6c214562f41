#include "TurnoverStatement.h"

#include "reports/FormStyle.h"
#include "reports/PrintJob.h"
#include "reports/Workbook.h"
#include "StockDocuments.h"
#include "store/Database.h"
#include "store/PreparedStatement.h"
#include "store/Rounding.h"
#include "store/RowKey.h"

#include <QHash>
#include <QSqlQuery>

#include <vector>

using namespace Qt::StringLiterals;
using namespace formstyle;

namespace {

struct Movement
{
    qlonglong ingredient = 0;
    QString date;
    QString number;
    QString partner;
    bool receipt = false;
    double price = 0; // to the kopeck
    double quantity = 0;
};

struct Ingredient
{
    qlonglong key = 0;
    qlonglong group = 0;
    QString name;
};

struct Group
{
    qlonglong key = 0;
    QString name;
};

// Receipt and issue, quantity and money.
struct Turnover
{
    double inQuantity = 0;
    double inSum = 0;
    double outQuantity = 0;
    double outSum = 0;

    void add(const Movement& line)
    {
        const double sum = line.price * line.quantity;
        if (line.receipt) {
            inQuantity += line.quantity;
            inSum += sum;
        } else {
            outQuantity += line.quantity;
            outSum += sum;
        }
    }
};

class StatementWriter
{
public:
    StatementWriter(Sheet& sheet, const TurnoverOptions& options, const std::vector<Movement>& movements,
                    const QHash<qlonglong, std::pair<int, int>>& ranges)
        : m_sheet(sheet), m_options(options), m_movements(movements), m_ranges(ranges)
    {
    }

    void ingredientBlock(const Ingredient& ingredient, Turnover* group)
    {
        int row = m_n + 4;
        m_sheet.cell(row, 2).setValue(ingredient.name);
        setRowFont(m_sheet, row, 12);
        const bool full = !m_options.shortVariant;
        if (full)
            ++m_n;
        Turnover own;
        const auto range = m_ranges.value(ingredient.key, {0, 0});
        for (int i = range.first; i < range.second; ++i) {
            const Movement& line = m_movements[i];
            own.add(line);
            if (group)
                group->add(line);
            m_warehouse.add(line);
            if (!full)
                continue;
            row = m_n + 4;
            const double sum = line.price * line.quantity;
            m_sheet.cell(row, line.receipt ? 8 : 10).setValue(line.quantity);
            m_sheet.cell(row, line.receipt ? 9 : 11).setValue(sum);
            m_sheet.cell(row, 6).setValue(line.date);
            m_sheet.cell(row, 7).setValue(line.price);
            m_sheet.cell(row, 12).setValue(line.number);
            m_sheet.cell(row, 13).setValue(line.partner);
            setRowFont(m_sheet, row, 10);
            bottomRule(m_sheet.range(row, 2, row, 13));
            ++m_n;
        }
        totals(7, u"Итого:"_s, own);
        ++m_n;
    }

    void groupSection(const Group& group, const std::vector<const Ingredient*>& ingredients)
    {
        ++m_n;
        m_sheet.cell(m_n + 4, 1).setValue(group.name);
        setRowFont(m_sheet, m_n + 4, 14, true);
        ++m_n;
        Turnover sums;
        for (const Ingredient* ingredient : ingredients) {
            if (m_ranges.contains(ingredient->key))
                ingredientBlock(*ingredient, &sums);
        }
        totals(6, u"Итого за группу:"_s, sums);
    }

    void warehouseTotal()
    {
        ++m_n;
        totals(6, u"Итого за склад:"_s, m_warehouse);
    }

private:
    void totals(int textColumn, const QString& text, const Turnover& sums)
    {
        const int row = m_n + 4;
        m_sheet.cell(row, textColumn).setValue(text);
        m_sheet.cell(row, 8).setValue(sums.inQuantity);
        m_sheet.cell(row, 9).setValue(sums.inSum);
        m_sheet.cell(row, 10).setValue(sums.outQuantity);
        m_sheet.cell(row, 11).setValue(sums.outSum);
    }

    Sheet& m_sheet;
    const TurnoverOptions& m_options;
    const std::vector<Movement>& m_movements;
    const QHash<qlonglong, std::pair<int, int>>& m_ranges;
    Turnover m_warehouse;
    int m_n = 1; // the current row is m_n + 4
};

// Semi-finished products are not stocked.
const QString stockedOnly = u" AND (i.Pf IS NULL OR i.Pf = 0)"_s;

// The posted lines of the period by ingredient and key, read on the engine's own interface: a year's
// lines are a hundred thousand rows. Dates repeat, so each is converted once.
bool readMovements(const QSqlDatabase& db, const QString& ingredientFilter, const QVariantList& values,
                   std::vector<Movement>& movements, QString* error)
{
    PreparedStatement query(
        db,
        u"SELECT m.Kod, m.Date, m.Nomer, p.Name, m.Oper, m.Cena, m.Kolvo FROM Move m "
        "LEFT JOIN Partner p ON p.Nnn = m.Partner "
        "WHERE m.Provodka = 1 AND m.Date >= ? AND m.Date <= ? AND m.Kod IN "
        "(SELECT i.Kod1 FROM Ing i WHERE 1 = 1%1) ORDER BY m.Kod, m.Nnn"_s.arg(ingredientFilter),
        error);
    if (!query.isValid() || !query.bind(values, error))
        return false;
    // A line whose ingredient reference is not whole names no ingredient: the statement is refused
    // rather than printed without it.
    QSqlQuery notWhole(db);
    if (!runQuery(
            notWhole,
            u"SELECT Nnn, Kod FROM Move WHERE Provodka = 1 AND Date >= ? AND Date <= ? AND Kod <> round(Kod) "
            "ORDER BY Nnn LIMIT 1"_s,
            values.mid(0, 2), error))
        return false;
    if (notWhole.next()) {
        *error = notWholeReference(u"Move"_s, notWhole.value(0), u"Kod"_s, notWhole.value(1));
        return false;
    }
    notWhole.finish();
    QHash<QString, QString> shownDates;
    QString failure;
    while (query.next(&failure)) {
        const QString stored = query.value(1).toString();
        auto shown = shownDates.constFind(stored);
        if (shown == shownDates.cend())
            shown =
                shownDates.insert(stored, QDate::fromString(stored, Qt::ISODate).toString(u"dd.MM.yyyy"_s));
        movements.push_back({rowKey(query.value(0)).value_or(0), *shown, query.value(2).toString(),
                             query.value(3).toString(),
                             query.value(4).toString() == QLatin1StringView(StockDocuments::receipt),
                             rounding::toKopeck(query.number(5)), query.number(6)});
    }
    if (failure.isEmpty())
        return true;
    *error = failure;
    return false;
}

} // namespace

bool TurnoverStatement::warehouseSums(const QDate& start, const QDate& end, Sums* sums, QString* error) const
{
    std::vector<Movement> movements;
    if (!readMovements(m_db, stockedOnly, {start.toString(Qt::ISODate), end.toString(Qt::ISODate)}, movements,
                       error))
        return false;
    Turnover total;
    for (const Movement& line : movements)
        total.add(line);
    *sums = {total.inSum, total.outSum};
    return true;
}

bool TurnoverStatement::stockValueAt(const QDate& day, double* value, QString* error) const
{
    QSqlQuery stock(m_db);
    if (!runQuery(stock, u"SELECT coalesce(sum(i.Kolvo * i.Cena), 0) FROM Ing i WHERE 1 = 1"_s + stockedOnly,
                  {}, error) ||
        !stock.next())
        return false;
    const double now = stock.value(0).toDouble();
    stock.finish();
    Sums later;
    if (!warehouseSums(day.addDays(1), QDate(9999, 12, 31), &later, error))
        return false;
    *value = now - later.receipts + later.issues;
    return true;
}

bool TurnoverStatement::fill(Workbook& workbook, const TurnoverOptions& options, QString* error,
                             const Progress& progress) const
{
    const QString ru = QLatin1String(Database::collation);
    QString groupFilter;
    QString ingredientFilter;
    QVariantList scope;
    switch (options.scope) {
    case TurnoverScope::Ingredient:
        ingredientFilter = u" AND i.Kod1 = ?"_s;
        scope = {options.ingredient};
        break;
    case TurnoverScope::Group:
        groupFilter = u" WHERE Kod = ?"_s;
        ingredientFilter = u" AND i.Kod = ?"_s + stockedOnly;
        scope = {options.group};
        break;
    case TurnoverScope::AllGroups:
        ingredientFilter = stockedOnly;
        break;
    }

    std::vector<Group> groups;
    std::vector<Ingredient> ingredients;
    std::vector<Movement> movements;
    QVariantList period{options.start.toString(Qt::ISODate), options.end.toString(Qt::ISODate)};
    const bool read =
        (options.scope == TurnoverScope::Ingredient ||
         forEachRow(
             m_db, u"SELECT Kod, Name FROM Gring%1 ORDER BY Name COLLATE %2, Kod"_s.arg(groupFilter, ru),
             scope,
             [&](const QSqlQuery& q) {
                 groups.push_back({q.value(0).toLongLong(), q.value(1).toString()});
             },
             error)) &&
        forEachRow(
            m_db,
            u"SELECT i.Kod1, i.Kod, i.Name, u.Shorthame FROM Ing i LEFT JOIN Edinica u ON u.Kod = i.Edinica "
            "WHERE 1 = 1%1 ORDER BY i.Name COLLATE %2, i.Kod1"_s.arg(ingredientFilter, ru),
            scope,
            [&](const QSqlQuery& q) {
                ingredients.push_back({q.value(0).toLongLong(), rowKey(q.value(1)).value_or(0),
                                       u"%1 (%2)"_s.arg(q.value(2).toString(), q.value(3).toString())});
            },
            error) &&
        readMovements(m_db, ingredientFilter, period + scope, movements, error);
    if (!read)
        return false;
    // Each ingredient's lines as one stretch of the list, in line order.
    QHash<qlonglong, std::pair<int, int>> ranges;
    for (int i = 0; i < int(movements.size());) {
        int end = i;
        while (end < int(movements.size()) && movements[end].ingredient == movements[i].ingredient)
            ++end;
        ranges.insert(movements[i].ingredient, {i, end});
        i = end;
    }

    Sheet& sheet = workbook.sheet(1);
    sheet.setName(u"Оборотная ведомость"_s);
    // One page wide on A4: the last columns would otherwise print on pages of their own.
    sheet.setOnePageWide(true);
    sheet.setPrintTitleRows(u"$4:$4");
    sheet.setPageOrientation(PageOrientation::Landscape);
    sheet.setLeftMargin(10);
    sheet.setRightMargin(10);
    sheet.columns(1, 11).setColumnWidth(8.3);
    sheet.columns(12, 13).setColumnWidth(18);
    for (int column : {7, 9, 11})
        sheet.column(column).setNumberFormat(u"0.00"_s);
    for (int column : {8, 10})
        sheet.column(column).setNumberFormat(u"0.000"_s);
    const QString titles[] = {
        u"Оборотная ведомость за период"_s,
        u"с %1 по %2"_s.arg(options.start.toString(u"dd.MM.yyyy"_s), options.end.toString(u"dd.MM.yyyy"_s))};
    for (int row = 1; row <= 2; ++row) {
        sheet.cell(row, 9).setValue(titles[row - 1]);
        centre(sheet.range(row, 1, row, 9).merge());
        setRowFont(sheet, row, 16, true);
    }
    const std::pair<int, QString> headings[] = {{2, u"Наименование ингредиента"_s},
                                                {6, u"Дата"_s},
                                                {7, u"Цена"_s},
                                                {8, u"Приход"_s},
                                                {9, u"Сумма"_s},
                                                {10, u"Расход"_s},
                                                {11, u"Сумма"_s},
                                                {12, u"Документ"_s},
                                                {13, u"Партнер"_s}};
    for (const auto& [column, text] : headings)
        sheet.cell(4, column).setValue(text);
    setRowFont(sheet, 4, 12, true);
    sheet.row(4).setHorizontalAlignment(HAlign::Center);
    sheet.cell(4, 2).setHorizontalAlignment(HAlign::Left);
    sheet.range(u"G4:K4").setHorizontalAlignment(HAlign::Right);

    StatementWriter writer(sheet, options, movements, ranges);
    if (options.scope == TurnoverScope::Ingredient) {
        // The page's current ingredient, with or without movements.
        if (!ingredients.empty())
            writer.ingredientBlock(ingredients.front(), nullptr);
        return true;
    }
    QHash<qlonglong, std::vector<const Ingredient*>> byGroup;
    for (const Ingredient& ingredient : ingredients)
        byGroup[ingredient.group].push_back(&ingredient);
    for (size_t g = 0; g < groups.size(); ++g) {
        if (progress && !progress(rounding::toInt(double(g) / double(groups.size()) * 100))) {
            *error = PrintJob::cancelledText();
            return false;
        }
        writer.groupSection(groups[g], byGroup.value(groups[g].key));
    }
    if (options.scope == TurnoverScope::AllGroups)
        writer.warehouseTotal();
    return true;
}
