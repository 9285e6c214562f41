#include "TechnologicalCardPrint.h"

#include "CostingCardPrint.h"
#include "reference/OrganisationDetails.h"
#include "reports/FormStyle.h"
#include "reports/PageFlow.h"
#include "reports/StateForm.h"
#include "reports/Workbook.h"
#include "store/Database.h"
#include "store/Rounding.h"
#include "store/UserPrompts.h"

#include <QHash>
#include <QSqlQuery>

#include <array>
#include <optional>

using namespace Qt::StringLiterals;
using namespace formstyle;

namespace {

constexpr int lastColumn = 6;  // A № .. F net for the card's portions
constexpr int lineWidth = 105; // characters of a text row across the six columns

// Proteins, fats, carbohydrates, energy: per 100 g as stored, nothing where not given.
using Nutrition = std::array<std::optional<double>, 4>;

const std::array<QString, 4>& nutrientNames()
{
    static const std::array<QString, 4> names{u"белки"_s, u"жиры"_s, u"углеводы"_s,
                                              u"энергетическая ценность"_s};
    return names;
}

struct DishTexts
{
    QString recipe;
    QString serving;
    QString storage;
};

bool readDish(const QSqlDatabase& db, qlonglong dish, DishTexts* texts, QString* error)
{
    bool found = false;
    if (!forEachRow(
            db, u"SELECT Recept, Serving, Storage FROM Bludo WHERE Kod1 = ?"_s, {dish},
            [&](const QSqlQuery& q) {
                found = true;
                *texts = {q.value(0).toString(), q.value(1).toString(), q.value(2).toString()};
            },
            error))
        return false;
    if (!found)
        *error = u"Блюдо %1 не найдено."_s.arg(dish);
    return found;
}

std::optional<QHash<qlonglong, Nutrition>> readNutrition(const QSqlDatabase& db, qlonglong dish,
                                                         QString* error)
{
    QHash<qlonglong, Nutrition> nutrition;
    const auto value = [](const QVariant& v) {
        return v.isNull() ? std::nullopt : std::optional(v.toDouble());
    };
    if (!forEachRow(
            db,
            u"SELECT Kod1, Protein, Fat, Carbs, Energy FROM Ing WHERE Kod1 IN "
            "(SELECT Name FROM Karta WHERE Kod = ?)"_s,
            {dish},
            [&](const QSqlQuery& q) {
                nutrition.insert(q.value(0).toLongLong(), {value(q.value(1)), value(q.value(2)),
                                                           value(q.value(3)), value(q.value(4))});
            },
            error))
        return std::nullopt;
    return nutrition;
}

int writeText(Sheet& sheet, int row, const QString& text, double size = 10, std::optional<bool> bold = {})
{
    for (const QString& line : stateform::wrappedLines(text, lineWidth)) {
        sheet.cell(row, 1).setValue(line);
        setRowFont(sheet, row++, size, bold);
    }
    return row;
}

int writeHeading(Sheet& sheet, int row, const QString& text)
{
    return writeText(sheet, row + 1, text, 11, true);
}

// "УТВЕРЖДАЮ" with the head of the organisation, at the right.
int writeApproval(Sheet& sheet, int row, const OrganisationDetails& organisation)
{
    const QString lines[] = {u"УТВЕРЖДАЮ"_s, organisation.headPosition,
                             stateform::organisationLine(organisation),
                             u"________________ "_s + organisation.head, u"«____» ______________ 20___ г."_s};
    for (const QString& line : lines) {
        sheet.cell(row, 4).setValue(line);
        setRowFont(sheet, row++, 10);
    }
    return row;
}

} // namespace

TechnologicalCardResult TechnologicalCardPrint::run(qlonglong dish, TechnologicalCard kind)
{
    TechnologicalCardResult result;
    CostingCardOptions options;
    options.scope = CardPrintScope::OneDish;
    options.dish = dish;
    QString error;
    DishTexts texts;
    if (!readDish(m_db, dish, &texts, &error)) {
        result.error = error;
        return result;
    }
    std::optional<std::vector<CostingCardFigures>> cards =
        CostingCardPrint(m_db, m_clock).figures(options, &error);
    if (cards && cards->empty())
        error = u"Блюдо %1 не входит ни в одну группу блюд."_s.arg(dish);
    const std::optional<QHash<qlonglong, Nutrition>> nutrition =
        cards && !cards->empty() ? readNutrition(m_db, dish, &error) : std::nullopt;
    const std::optional<OrganisationDetails> organisation =
        nutrition ? OrganisationDetails::load(m_db, &error) : std::nullopt;
    if (!organisation) {
        result.error = error.replace(u"Калькуляционные карты не напечатаны"_s, u"Карта не напечатана"_s);
        return result;
    }
    const CostingCardFigures& card = cards->front();
    result.dish = card.name;
    const bool technical = kind == TechnologicalCard::TechnicalTechnological;

    auto workbook = std::make_unique<Workbook>();
    Sheet& sheet = workbook->sheet(1);
    sheet.setName(technical ? u"ТТК"_s : u"ТК"_s);
    sheet.setOnePageWide(true);
    const double widths[] = {5, 34, 11, 11, 11, 11};
    for (int column = 1; column <= lastColumn; ++column)
        sheet.setColumnWidth(column, widths[column - 1]);

    int row = writeApproval(sheet, 1, *organisation) + 1;
    sheet.cell(row, 1).setValue(technical ? u"ТЕХНИКО-ТЕХНОЛОГИЧЕСКАЯ КАРТА № ____"_s
                                          : u"ТЕХНОЛОГИЧЕСКАЯ КАРТА № ____"_s);
    centre(sheet.range(row, 1, row, lastColumn).merge());
    setRowFont(sheet, row++, 14, true);
    sheet.cell(row, 1).setValue(card.name);
    centre(sheet.range(row, 1, row, lastColumn).merge());
    setRowFont(sheet, row++, 12, true);
    ++row;
    const int portions = rounding::toInt(card.portions);
    if (technical) {
        const QString organisationLine = stateform::organisationLine(*organisation);
        row = writeHeading(sheet, row, u"1 Область применения"_s);
        row =
            writeText(sheet, row,
                      u"Настоящая технико-технологическая карта распространяется на блюдо «%1», "
                      "вырабатываемое %2."_s.arg(card.name, organisationLine.isEmpty() ? u"________________"_s
                                                                                       : organisationLine));
        row = writeHeading(sheet, row, u"2 Требования к сырью"_s);
        row = writeText(
            sheet, row,
            u"Продовольственное сырьё, пищевые продукты и полуфабрикаты, используемые для "
            "приготовления блюда, должны соответствовать требованиям нормативных и технических "
            "документов и сопровождаться документами, подтверждающими их безопасность и качество."_s);
        row = writeHeading(sheet, row, u"3 Рецептура"_s);
    } else {
        row = writeText(sheet, row, u"Номер рецептуры: ____"_s);
        row = writeText(sheet, row, u"Наименование сборника рецептур: ________________________________"_s);
        row = writeHeading(sheet, row, u"Рецептура"_s);
    }

    // The recipe: gross and net of one portion and of the card's portions, its heading written again
    // on each page the lines run onto.
    const int tableTop = row;
    const auto heading = [&](int at) {
        sheet.cell(at, 1).setValue(u"№"_s);
        sheet.cell(at, 2).setValue(u"Наименование сырья и продуктов"_s);
        sheet.cell(at, 3).setValue(u"Расход на 1 порцию, г"_s);
        sheet.cell(at, 5).setValue(u"Расход на %1 порц., г"_s.arg(portions));
        sheet.range(at, 1, at + 1, 1).merge();
        sheet.range(at, 2, at + 1, 2).merge();
        sheet.range(at, 3, at, 4).merge();
        sheet.range(at, 5, at, 6).merge();
        for (int column : {3, 5}) {
            sheet.cell(at + 1, column).setValue(u"брутто"_s);
            sheet.cell(at + 1, column + 1).setValue(u"нетто"_s);
        }
        for (int r = at; r <= at + 1; ++r)
            setRowFont(sheet, r, 9, true);
        centre(sheet.range(at, 1, at + 1, lastColumn).setWrapText(true));
        return at + 2;
    };
    const auto writeLine = [&](int at, int n) {
        const CostingCardFigures::Line& line = card.lines[size_t(n)];
        sheet.cell(at, 1).setValue(double(n + 1)).setHorizontalAlignment(HAlign::Center);
        sheet.cell(at, 2).setValue(line.name);
        sheet.cell(at, 3).setValue(rounding::toDecimals(line.gross / card.portions, 1));
        sheet.cell(at, 4).setValue(rounding::toDecimals(line.net / card.portions, 1));
        sheet.cell(at, 5).setValue(rounding::toDecimals(line.gross, 1));
        sheet.cell(at, 6).setValue(rounding::toDecimals(line.net, 1));
        sheet.range(at, 3, at, 6).setNumberFormat(u"0.0"_s);
        setRowFont(sheet, at, 10);
        return at + 1;
    };
    pageflow::Pages pages(sheet, pageflow::Pages::Ends::Breaks);
    row = pageflow::continuedTable(pages, row, int(card.lines.size()), heading, writeLine);
    Nutrition total{0.0, 0.0, 0.0, 0.0};
    for (const CostingCardFigures::Line& line : card.lines) {
        const Nutrition given = nutrition->value(line.ingredient);
        QStringList missing;
        for (size_t k = 0; k < given.size(); ++k) {
            if (!given[k]) {
                missing << nutrientNames()[k];
                total[k].reset();
            } else if (total[k]) {
                *total[k] += *given[k] * line.net / card.portions / 100;
            }
        }
        if (!missing.isEmpty())
            result.missingNutrition << u"%1 (%2)"_s.arg(line.name, missing.join(u", "_s));
    }
    sheet.cell(row, 2).setValue(u"Выход"_s);
    sheet.cell(row, 4).setValue(card.yield).setHorizontalAlignment(HAlign::Right);
    sheet.range(row, 1, row, lastColumn).font().setBold(true);
    setRowFont(sheet, row++, 10, true);
    sheet.range(tableTop, 1, row - 1, lastColumn)
        .borders()
        .setLineStyle(LineStyle::Continuous)
        .setWeight(BorderWeight::Thin)
        .setColorIndex(ColorIndex::Black);

    row =
        writeHeading(sheet, row, technical ? u"4 Технологический процесс"_s : u"Технология приготовления"_s);
    row = writeText(sheet, row, texts.recipe);
    row = writeHeading(sheet, row,
                       technical ? u"5 Требования к оформлению, реализации и хранению"_s
                                 : u"Требования к оформлению, подаче и реализации"_s);
    row = writeText(sheet, row, texts.serving);
    if (technical)
        row = writeText(sheet, row, texts.storage);
    else
        row = writeText(sheet, writeHeading(sheet, row, u"Требования к хранению"_s), texts.storage);
    if (technical) {
        row = writeHeading(sheet, row, u"6 Показатели качества и безопасности"_s);
        for (const QString& line : {u"Органолептические показатели: ____________________"_s,
                                    u"Физико-химические показатели: ____________________"_s,
                                    u"Микробиологические показатели: ____________________"_s})
            row = writeText(sheet, row, line);
    }

    // Nutrition of one portion; a total some ingredient does not give is left unstated.
    row = writeHeading(sheet, row,
                       (technical ? u"7 Пищевая ценность"_s : u"Пищевая ценность"_s) + u" 1 порции"_s);
    const QString captions[] = {u"Белки, г"_s, u"Жиры, г"_s, u"Углеводы, г"_s,
                                u"Энергетическая ценность, ккал"_s};
    const int nutritionTop = row;
    for (int k = 0; k < 4; ++k) {
        sheet.cell(row, 3 + k).setValue(captions[k]);
        if (total[k])
            sheet.cell(row + 1, 3 + k).setValue(rounding::toDecimals(*total[k], 1)).setNumberFormat(u"0.0"_s);
        else
            sheet.cell(row + 1, 3 + k).setValue(u"нет данных"_s);
    }
    setRowFont(sheet, row, 9, true);
    centre(sheet.range(row, 3, row + 1, lastColumn).setWrapText(true));
    setRowFont(sheet, row + 1, 10);
    sheet.range(nutritionTop, 3, row + 1, lastColumn)
        .borders()
        .setLineStyle(LineStyle::Continuous)
        .setWeight(BorderWeight::Thin)
        .setColorIndex(ColorIndex::Black);
    row += 2;
    if (!result.missingNutrition.isEmpty())
        row = writeText(sheet, row,
                        u"Пищевая ценность не указана для: "_s + result.missingNutrition.join(u"; "_s) + u'.',
                        9);
    ++row;
    for (const auto& [role, person] :
         {std::pair{u"Заведующий производством"_s, organisation->chef},
          std::pair{u"Ответственный за оформление"_s, organisation->calculator}}) {
        row = stateform::writeSignature(sheet, row, 1, 3, 6, role, person);
        setRowFont(sheet, row - 2, 10);
    }
    result.workbook = std::move(workbook);
    return result;
}
