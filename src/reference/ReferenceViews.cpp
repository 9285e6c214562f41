#include "ReferenceViews.h"

#include "IngredientCatalog.h"
#include "PriceHistory.h"

using namespace Qt::StringLiterals;

namespace referenceviews {

namespace {

const Lookup unitName{u"Edinica1"_s, u"Edinica"_s, u"Edinica"_s, u"Kod"_s, u"Shorthame"_s};

// Every view of the ingredients records a price typed into its grid.
ViewDef ingredientView(const QStringList& order, const QString& linkField, const QString& filter,
                       const QList<Lookup>& lookups)
{
    return {u"Ing"_s, order, linkField, filter, lookups, &PriceHistory::recordGridWrite};
}

} // namespace

ViewDef ingredientGroups(const QString& linkField)
{
    return {u"Gring"_s, {u"Name"_s}, linkField, QString(), {}};
}

ViewDef ingredients()
{
    return ingredientView({u"Kod"_s}, u"Kod"_s, QString(), {unitName});
}

ViewDef ingredientsByName()
{
    return ingredientView({u"Name"_s}, QString(), QString(), {});
}

ViewDef ingredientsWithUnits()
{
    return ingredientView({u"Name"_s}, QString(), QString(), {unitName});
}

ViewDef stockIngredients()
{
    return ingredientView({u"Name"_s}, u"Kod"_s, u"coalesce(Pf, 0) = 0"_s, {unitName});
}

ViewDef compositionCandidates()
{
    return ingredientView({u"Kod"_s}, u"Kod"_s, QString::fromLatin1(IngredientCatalog::candidateFilter), {});
}

ViewDef composition()
{
    return {
        u"pf"_s, {u"Kod"_s}, u"Kod"_s, QString(), {{u"Name1"_s, u"Name"_s, u"Ing"_s, u"Kod1"_s, u"Name"_s}}};
}

ViewDef units()
{
    return {u"Edinica"_s, {u"Name"_s}, QString(), QString(), {}};
}

ViewDef signatures()
{
    return {u"Podpis"_s, {u"Poradok"_s}, QString(), QString(), {}};
}

ViewDef partners()
{
    return {u"Partner"_s, {u"Name"_s}, QString(), QString(), {}};
}

} // namespace referenceviews
