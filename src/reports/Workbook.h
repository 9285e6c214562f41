#pragma once

#include "Sheet.h"

#include <QStringList>

#include <memory>
#include <vector>

// A workbook built in memory by a print-out and then written to a file. It starts with one sheet,
// as a new workbook of a spreadsheet application does. Sheets know their workbook, so a workbook
// stays where it was made.
class Workbook
{
public:
    Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // 1-based; sheets up to the number are added when missing ("Лист2", "Лист3", ...).
    Sheet& sheet(int number);
    const Sheet& sheet(int number) const;
    int sheetCount() const { return static_cast<int>(m_sheets.size()); }

    // Whether another sheet than 'except' has the name, compared as the spreadsheet does: ignoring case.
    bool hasSheetNamed(const QString& name, const Sheet* except = nullptr) const;

    // Every operation that was refused, named by its sheet.
    QStringList problems() const;

private:
    Sheet& addSheet();

    std::vector<std::unique_ptr<Sheet>> m_sheets;
    QStringList m_problems;
};
