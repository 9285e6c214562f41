#include "MenuViews.h"

#include "MenuBook.h"

using namespace Qt::StringLiterals;

namespace menuviews {

namespace {

Lookup dish(const QString& name, const QString& field)
{
    return {name, u"Name"_s, u"Bludo"_s, u"Kod1"_s, field};
}

const QString included = u"Status = 1"_s;

} // namespace

ViewDef menus()
{
    return {u"Menu"_s, {u"Date"_s}, QString(), QString(), {}};
}

ViewDef releasedMenus()
{
    return {u"Menu"_s, {u"Date"_s}, QString(), u"Status = 1"_s, {}};
}

ViewDef entries()
{
    return {u"MenuSp"_s,
            MenuBook::entryOrder(),
            u"Kod"_s,
            included,
            {dish(u"Name1"_s, u"Name"_s), dish(u"Cena1"_s, u"Cena"_s), dish(u"GrBludo"_s, u"Kod"_s),
             dish(u"Vihod"_s, u"Vixod"_s), dish(u"X"_s, u"X"_s)}};
}

ViewDef includedEntries()
{
    return {u"MenuSp"_s,
            {u"Kod"_s, u"Nn"_s, u"N"_s},
            u"Kod"_s,
            included,
            {dish(u"Name1"_s, u"Name"_s), dish(u"X"_s, u"X"_s), dish(u"Cena1"_s, u"Cena"_s)}};
}

ViewDef entriesToCopy()
{
    return {u"MenuSp"_s,
            {u"Kod"_s, u"Nn"_s, u"N"_s, u"Nnn"_s},
            u"Kod"_s,
            QString(),
            {dish(u"Name1"_s, u"Name"_s), dish(u"Cena1"_s, u"Cena"_s)}};
}

ViewDef chosenEntries()
{
    return {
        u"MenuSp"_s, {u"Kod"_s}, u"Kod"_s, QString(), {dish(u"Name1"_s, u"Name"_s), dish(u"X"_s, u"X"_s)}};
}

} // namespace menuviews
