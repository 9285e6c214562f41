#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>

class Workbook;

// The state's unified inventory forms.
enum class InventoryForm
{
    List,      // ИНВ-3, the inventory list
    Comparison // ИНВ-19, the comparison sheet of its results
};

// The inventory list (ИНВ-3) and its comparison sheet (ИНВ-19) from one inventory document, in any
// state of it, with the organisation's details, the commission's signatures and the totals in words.
// The lines come in ingredient-name order as on the act; an empty quantity counts as 0, the price is
// the line's. Sums are taken to the kopeck per line and totalled from those. Reads only.
class InventoryFormsPrint
{
public:
    // Lines per page of the list: each page closes with its own totals, as the form asks.
    static constexpr int linesPerPage = 20;

    explicit InventoryFormsPrint(QSqlDatabase db) : m_db(std::move(db)) {}

    // Fills the first sheet; false and the reason (a document that is gone, the database's complaint).
    bool fill(Workbook& workbook, qlonglong inventory, InventoryForm form, QString* error) const;

    // The print-out's title for the file name and the user.
    static QString title(InventoryForm form, const QDate& date);

private:
    QSqlDatabase m_db;
};
