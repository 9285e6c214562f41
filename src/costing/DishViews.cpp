#include "DishViews.h"

#include "DishCatalog.h"

#include "reference/PriceHistory.h"

using namespace Qt::StringLiterals;

namespace dishviews {

namespace {

Lookup ingredient(const QString& name, const QString& field)
{
    return {name, u"Name"_s, u"Ing"_s, u"Kod1"_s, field};
}

} // namespace

ViewDef dishGroups(const QString& linkField)
{
    return {u"Grbludo"_s, {u"Name"_s}, linkField, QString(), {}};
}

ViewDef dishGroupByKey()
{
    return {u"Grbludo"_s, {u"Kod"_s}, u"Kod"_s, QString(), {}};
}

ViewDef dishes()
{
    return {u"Bludo"_s, {u"Kod"_s}, u"Kod"_s, QString(), {}};
}

ViewDef finishedDishes()
{
    return {u"Bludo"_s, {u"Kod"_s}, u"Kod"_s, u"Status = 1"_s, {}};
}

ViewDef cardLines()
{
    return {u"Karta"_s, {u"Kod"_s}, u"Kod"_s, QString(), {ingredient(u"Name1"_s, u"Name"_s)}};
}

ViewDef editedCardLines()
{
    return {u"Karta"_s,
            {u"Kod"_s},
            u"Kod"_s,
            QString(),
            {ingredient(u"Name1"_s, u"Name"_s), ingredient(u"IngVih"_s, u"Vih"_s),
             ingredient(u"IngPf"_s, u"Pf"_s)}};
}

ViewDef cardCandidates()
{
    // A price typed here is a hand edit like one on the ingredients page.
    return {u"Ing"_s, {u"Kod"_s},
            u"Kod"_s, DishCatalog::candidateCondition(),
            {},       &PriceHistory::recordGridWrite};
}

} // namespace dishviews
