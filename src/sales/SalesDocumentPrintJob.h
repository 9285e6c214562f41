#pragma once

#include "reports/PrintJob.h"

#include <QSqlDatabase>

// "Печать" of a sales document, as tables or as the cross table. The consumption is calculated
// first (the lines sold for the tables, every line for the cross table); a posted document, which the
// calculation refuses, prints from its stored rows, an open one that it refuses does not print.
class SalesDocumentPrintJob : public PrintJob
{
public:
    enum class Layout
    {
        Tables,
        CrossTable
    };

    SalesDocumentPrintJob(QSqlDatabase db, qlonglong document, Layout layout)
        : m_db(std::move(db)), m_document(document), m_layout(layout)
    {
    }

    PrintedWorkbook run(const Progress& progress) override;

private:
    QSqlDatabase m_db;
    qlonglong m_document;
    Layout m_layout;
};
