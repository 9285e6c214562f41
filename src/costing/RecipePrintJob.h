#pragma once

#include "reports/PrintJob.h"

#include <QSqlDatabase>
#include <QStringList>

#include <optional>

// "Печать рецепта" of one dish, from the lines the recipe window shows when given.
class RecipePrintJob : public PrintJob
{
public:
    RecipePrintJob(QSqlDatabase db, qlonglong dish, std::optional<QStringList> shownLines = std::nullopt)
        : m_db(std::move(db)), m_dish(dish), m_shownLines(std::move(shownLines))
    {
    }

    PrintedWorkbook run(const Progress& progress) override;

private:
    QSqlDatabase m_db;
    qlonglong m_dish;
    std::optional<QStringList> m_shownLines;
};
