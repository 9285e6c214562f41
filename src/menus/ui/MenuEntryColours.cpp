#include "MenuEntryColours.h"

#include "store/TableModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>

using namespace Qt::StringLiterals;

QVariant switchedOffEntryRole(const TableModel& entries, int row, int role)
{
    if (entries.value(row, u"Status"_s).toBool())
        return {};
    switch (role) {
    case Qt::ForegroundRole:
        return QBrush(Qt::red);
    case Qt::BackgroundRole:
        return QBrush(QColor(0xC0, 0xC0, 0xC0));
    case Qt::FontRole: {
        QFont font;
        font.setBold(true);
        return font;
    }
    default:
        return {};
    }
}
