#include "StockViews.h"

using namespace Qt::StringLiterals;

namespace stockviews {

namespace {

const Lookup partnerName{u"Partner1"_s, u"Partner"_s, u"Partner"_s, u"Nnn"_s, u"Name"_s};

} // namespace

ViewDef movements()
{
    return {u"Move"_s, {u"Kod"_s}, u"Kod"_s, QString(), {partnerName}};
}

ViewDef documents()
{
    return {u"Doc"_s,
            {u"Date"_s},
            QString(),
            QString(),
            {partnerName, {u"FirstOper"_s, u"Nnn"_s, u"Move"_s, u"Kod1"_s, u"Oper"_s}}};
}

ViewDef documentLines()
{
    return {u"Move"_s,
            {u"Kod1"_s},
            u"Kod1"_s,
            QString(),
            {{u"IngName"_s, u"Kod"_s, u"Ing"_s, u"Kod1"_s, u"Name"_s}}};
}

ViewDef inventories()
{
    return {u"invdok"_s, {u"Date"_s}, QString(), QString(), {}};
}

ViewDef inventoryLines()
{
    return {u"inv"_s,
            {u"Ing22"_s},
            u"Kod"_s,
            QString(),
            {{u"UnitKey"_s, u"Ing"_s, u"Ing"_s, u"Kod1"_s, u"Edinica"_s}}};
}

} // namespace stockviews
