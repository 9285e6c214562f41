#pragma once

#include <QSqlDatabase>
#include <QString>

#include <functional>

class Workbook;

// "Печать акта инвентаризации": the lines of one inventory document by ingredient name with the
// quantity by the documents, the quantity found, the surplus or shortage and their money, in any
// state of the document. Reads only.
class InventoryActPrint
{
public:
    // False stops the print between two lines.
    using Progress = std::function<bool(int percent)>;

    explicit InventoryActPrint(QSqlDatabase db) : m_db(std::move(db)) {}

    // Fills the first sheet; false and the database's complaint (or the cancellation) on failure.
    bool fill(Workbook& workbook, qlonglong inventory, QString* error, const Progress& progress = {}) const;

private:
    QSqlDatabase m_db;
};
