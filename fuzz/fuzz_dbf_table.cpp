#include "exchange/TorgSalesTable.h"

#include <QBuffer>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    const DbfTable::ReadResult table = DbfTable::read(buffer);
    if (!table.table) {
        if (table.problem.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    for (const QStringList& record : table.table->records) {
        if (record.size() != table.table->fields.size())
            std::abort();
    }
    const TorgSalesTable::ReadResult sales = TorgSalesTable::interpret(*table.table);
    if (!sales.sales && sales.problem.isEmpty())
        std::abort();
    return 0;
}
