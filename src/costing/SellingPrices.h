#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class UserPrompts;

// The choice "Округление продажной цены блюда", in the order of its labels.
enum class RoundingStep
{
    None,
    FiveKopecks,
    TenKopecks,
    FiftyKopecks,
    OneRouble
};
// The choice "Округлённая цена": up to the step ("Больше") or down to it ("Меньше").
enum class RoundingDirection
{
    Up,
    Down
};

constexpr RoundingStep defaultRoundingStep = RoundingStep::TenKopecks;
constexpr RoundingDirection defaultRoundingDirection = RoundingDirection::Up;

// "Нет", "5коп", "10коп", "50коп", "1руб": index = the enum's value.
const QStringList& roundingStepLabels();
// "Больше", "Меньше": index = the enum's value.
const QStringList& roundingDirectionLabels();

// The selling price for a dish price: a price already on the step stays, any other goes to the step
// above or below. Kopecks are read as whole numbers, halves to even, so 12.999 counts as on the step.
// Negative prices, outside the kopeck ranges of the steps, stay as they are.
double roundSellingPrice(double price, RoundingStep step, RoundingDirection direction);

struct SellingPricesResult
{
    bool ok = true;
    QString message; // the database's complaint when not ok
    int entriesPriced = 0;
};

// Sets the selling price of the entries of one menu from their dishes' current prices, in one
// transaction: every entry, or only those without a selling price (empty or 0). An entry whose dish
// has no price gets 0.
SellingPricesResult applySellingPrices(QSqlDatabase db, qlonglong menu, bool allEntries, RoundingStep step,
                                       RoundingDirection direction);

// Asks "Производить перерасчёт продажных цен?": OK prices every entry, Cancel only those without a
// selling price. For the menu page, right after a successful price run.
SellingPricesResult askAndApplySellingPrices(QSqlDatabase db, UserPrompts& prompts, qlonglong menu,
                                             RoundingStep step, RoundingDirection direction);
