#pragma once

#include <QLocale>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>

class Workbook;

struct SalesPrintResult
{
    // The filled workbook; null when the print refused, with the reason in error.
    std::unique_ptr<Workbook> workbook;
    QString error;
    // A posted document gets no working cards.
    bool posted = false;
    int linesSkipped = 0;       // lines whose dish is gone
    int ingredientsLeftOut = 0; // card rows of the cross table whose ingredient has no consumption row

    // What the user should hear about a print that went through, empty when nothing.
    QString notice() const;
};

// "Печать в виде таблиц": the dishes sold by group with their sums, the ingredients consumed as an
// issue note for the store, and for an open document the working cards of the cooks. Reads the
// document's lines with portions sold and its stored consumption rows (the caller runs the
// calculation first); nothing is written.
//
// Every figure of the working cards is computed and every divisor checked (after the rounding the
// cards apply) before a cell is written, so a refused print leaves no half-built workbook.
class SalesDocumentPrint
{
public:
    // False stops the print at the end of the sheet being filled.
    using Progress = std::function<bool(int percent)>;

    // The locale gives the decimal separator of the portions in the working cards' titles.
    explicit SalesDocumentPrint(QSqlDatabase db, QLocale locale = QLocale())
        : m_db(std::move(db)), m_locale(std::move(locale))
    {
    }

    SalesPrintResult run(qlonglong document, const Progress& progress = {}) const;

    // Portions as the working cards and the cross table show them: the shortest general form with the
    // locale's separator, no group separator (4, 2,5).
    static QString portionsText(double portions, const QLocale& locale);

private:
    QSqlDatabase m_db;
    QLocale m_locale;
};
