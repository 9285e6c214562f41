#pragma once

#include "SalesDocumentPrint.h"

// "Печать перекрёстной таблицы": the consumed ingredients as rows, the document's dishes as columns
// under narrow group columns, each cell the gross quantity of the ingredient for all portions of the
// dish sold, the consumption total beside the name. Reads every line of the document (0 portions
// too) and its stored consumption rows; the caller runs the calculation first.
//
// The ingredient-to-row map is kept in memory and left in `Svodi`, as the period summary's scratch
// table has always served it, for the tools that read it. Every quantity is computed and every divisor
// checked before a cell is written or the map is touched.
class CrossTablePrint
{
public:
    using Progress = SalesDocumentPrint::Progress;

    explicit CrossTablePrint(QSqlDatabase db, QLocale locale = QLocale())
        : m_db(std::move(db)), m_locale(std::move(locale))
    {
    }

    SalesPrintResult run(qlonglong document, const Progress& progress = {}) const;

private:
    QSqlDatabase m_db;
    QLocale m_locale;
};
