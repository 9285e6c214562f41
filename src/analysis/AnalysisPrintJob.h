#pragma once

#include "AnalysisFigures.h"
#include "reports/PrintJob.h"

// The table of a picture of "Анализ" as a print-out: the same figures the page shows beside the chart.
class AnalysisPrintJob : public PrintJob
{
public:
    AnalysisPrintJob(QSqlDatabase db, const AnalysisChoice& choice) : m_db(std::move(db)), m_choice(choice) {}

    PrintedWorkbook run(const Progress& progress) override;

    // Writes the table onto the first sheet.
    static void fill(Workbook& workbook, const AnalysisTable& table);

private:
    QSqlDatabase m_db;
    AnalysisChoice m_choice;
};
