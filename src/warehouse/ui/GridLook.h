#pragma once

#include "store/TableModel.h"

#include <QColor>
#include <QFont>

// The colours and alignment the warehouse grids share.
namespace gridlook {

inline QColor silver()
{
    return {192, 192, 192};
}

inline QFont bold()
{
    QFont font;
    font.setBold(true);
    return font;
}

// Numbers right-aligned, texts left-aligned.
inline QVariant alignment(const TableModel& model, int column)
{
    return model.isNumberColumn(column) ? QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
}

} // namespace gridlook
