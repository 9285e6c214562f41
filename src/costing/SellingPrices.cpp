#include "SellingPrices.h"

#include "menus/MenuBook.h"
#include "store/Database.h"
#include "store/Isolation.h"
#include "store/Rounding.h"
#include "store/UserPrompts.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

const QStringList& roundingStepLabels()
{
    static const QStringList labels = {u"Нет"_s, u"5коп"_s, u"10коп"_s, u"50коп"_s, u"1руб"_s};
    return labels;
}

const QStringList& roundingDirectionLabels()
{
    static const QStringList labels = {u"Больше"_s, u"Меньше"_s};
    return labels;
}

double roundSellingPrice(double price, RoundingStep step, RoundingDirection direction)
{
    if (!std::isfinite(price))
        return price;
    const double roubles = std::trunc(price);
    const double dimes = std::trunc(price * 10);
    // K = 100 or L = 10 means the fraction rounds up to the step itself: the price is on the step.
    const int kopecks = rounding::toInt((price - roubles) * 100);
    const int lastDigit = rounding::toInt((price * 10 - dimes) * 10);
    const bool up = direction == RoundingDirection::Up;
    const auto within = [](int value, int from, int to) { return value >= from && value <= to; };
    if (kopecks == 0)
        return price;
    switch (step) {
    case RoundingStep::None:
        return price;
    case RoundingStep::FiveKopecks:
        if (within(lastDigit, 1, 4))
            return up ? (dimes + 0.5) / 10 : dimes / 10;
        if (lastDigit == 5)
            return up ? (dimes + 0.5) / 10 : price;
        if (within(lastDigit, 6, 9))
            return up ? (dimes + 1) / 10 : (dimes + 0.5) / 10;
        return price;
    case RoundingStep::TenKopecks:
        if (within(lastDigit, 1, 9))
            return up ? (dimes + 1) / 10 : dimes / 10;
        return price;
    case RoundingStep::FiftyKopecks:
        if (within(kopecks, 1, 49))
            return up ? roubles + 0.5 : roubles;
        if (kopecks == 50)
            return up ? roubles + 0.5 : price;
        if (within(kopecks, 51, 99))
            return up ? roubles + 1 : roubles + 0.5;
        return price;
    case RoundingStep::OneRouble:
        if (within(kopecks, 1, 99))
            return up ? roubles + 1 : roubles;
        return price;
    }
    return price;
}

SellingPricesResult applySellingPrices(QSqlDatabase db, qlonglong menu, bool allEntries, RoundingStep step,
                                       RoundingDirection direction)
{
    SellingPricesResult result;
    const auto failed = [&](const QString& error) {
        result.ok = false;
        result.message = u"Продажные цены не установлены: %1"_s.arg(error);
        result.entriesPriced = 0;
        return result;
    };
    std::vector<std::pair<qlonglong, double>> prices;
    QString error;
    // The dish prices are read where the menu's are written: a price run of another workstation
    // comes before or after, not between.
    const bool done = Isolation::run(db, &error, [&] {
        prices.clear();
        QSqlQuery query(db);
        if (!runQuery(query,
                      u"SELECT s.Nnn, b.Cena, b.Name FROM MenuSp s LEFT JOIN Bludo b ON b.Kod1 = s.Name "
                      "WHERE s.Kod = ?%1"_s.arg(
                          allEntries ? QString() : u" AND (s.CenaProd IS NULL OR s.CenaProd = 0)"_s),
                      {menu}, &error))
            return false;
        while (query.next()) {
            const double price = roundSellingPrice(query.value(1).toDouble(), step, direction);
            // A dish price written by another tool may be infinite; it is never copied into a menu.
            if (!std::isfinite(price)) {
                error = u"цена блюда \"%1\" не является числом"_s.arg(query.value(2).toString());
                return false;
            }
            prices.emplace_back(query.value(0).toLongLong(), price);
        }
        if (query.lastError().isValid()) {
            error = sqlErrorText(query.lastError());
            return false;
        }
        query.finish();
        return MenuBook::setSellingPrices(db, prices, &error);
    });
    if (!done)
        return failed(error);
    result.entriesPriced = int(prices.size());
    return result;
}

SellingPricesResult askAndApplySellingPrices(QSqlDatabase db, UserPrompts& prompts, qlonglong menu,
                                             RoundingStep step, RoundingDirection direction)
{
    const bool allEntries = prompts.confirmIrreversible(u"?"_s, u"Производить перерасчёт продажных цен?"_s);
    return applySellingPrices(std::move(db), menu, allEntries, step, direction);
}
