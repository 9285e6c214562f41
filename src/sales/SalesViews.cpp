#include "SalesViews.h"

using namespace Qt::StringLiterals;

namespace salesviews {

ViewDef documents()
{
    return {u"Realdoc"_s,
            {u"DateR"_s},
            QString(),
            QString(),
            {{u"Menu"_s, u"Nnn"_s, u"Menu"_s, u"Kod"_s, u"Name"_s}}};
}

ViewDef lines()
{
    return {u"Realsum"_s,
            {u"Kod"_s},
            u"Kod"_s,
            u"Kolvo <> 0"_s,
            {{u"GrBludo"_s, u"KodGrBludo"_s, u"Grbludo"_s, u"Kod"_s, u"Name"_s},
             {u"Bludo"_s, u"KodBludo"_s, u"Bludo"_s, u"Kod1"_s, u"Name"_s}}};
}

} // namespace salesviews
