#include "AnalysisTable.h"

int AnalysisTable::decimals(const QString& format)
{
    const qsizetype point = format.indexOf(u'.');
    return point < 0 ? 0 : int(format.size() - point - 1);
}
