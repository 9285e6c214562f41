#include "Workbook.h"

using namespace Qt::StringLiterals;

Workbook::Workbook()
{
    addSheet();
}

Sheet& Workbook::sheet(int number)
{
    if (number < 1) {
        m_problems << u"листа с номером %1 не бывает, взят лист 1"_s.arg(number);
        number = 1;
    }
    while (sheetCount() < number)
        addSheet();
    return *m_sheets[static_cast<size_t>(number - 1)];
}

const Sheet& Workbook::sheet(int number) const
{
    Q_ASSERT(number >= 1 && number <= sheetCount());
    return *m_sheets[static_cast<size_t>(number - 1)];
}

bool Workbook::hasSheetNamed(const QString& name, const Sheet* except) const
{
    for (const auto& sheet : m_sheets) {
        if (sheet.get() != except && sheet->name().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringList Workbook::problems() const
{
    QStringList problems = m_problems;
    for (const auto& sheet : m_sheets) {
        for (const QString& problem : sheet->problems())
            problems << u"Лист «%1»: %2"_s.arg(sheet->name(), problem);
    }
    return problems;
}

Sheet& Workbook::addSheet()
{
    // A print-out may have renamed a sheet to a default name that is still to come.
    int number = sheetCount() + 1;
    while (hasSheetNamed(u"Лист%1"_s.arg(number)))
        ++number;
    m_sheets.push_back(std::make_unique<Sheet>(*this, u"Лист%1"_s.arg(number)));
    return *m_sheets.back();
}
