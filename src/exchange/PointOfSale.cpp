#include "PointOfSale.h"

using namespace Qt::StringLiterals;

std::optional<PointOfSale> pointOfSaleNamed(const QString& name)
{
    if (name == u"buffeton"_s)
        return PointOfSale::Bufeton;
    if (name == u"torg"_s)
        return PointOfSale::TorgService;
    return std::nullopt;
}

QString menuFileSuffix(PointOfSale program)
{
    return program == PointOfSale::Bufeton ? u"mnu"_s : u"dbf"_s;
}

QString salesFileSuffix(PointOfSale program)
{
    return program == PointOfSale::Bufeton ? u"rea"_s : u"dbf"_s;
}
