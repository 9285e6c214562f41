#pragma once

#include <QColor>
#include <QFont>

// The colours and fonts the warehouse grids share.
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

} // namespace gridlook
