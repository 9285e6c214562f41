#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

class Workbook;

struct MenuPrintOptions
{
    QDate date;        // printed in the title and the sheet name (the day asked, not the menu's)
    QStringList texts; // the five texts, indexed by MenuPrintSettings::Line
    bool underline = true;
};

// "Печать текущего меню": the switched-on dishes of a menu laid out for guests, group by group under
// the names of the dishes' current groups, each with its yield and its price in roubles and kopecks,
// then the signatures. Reads only; nothing is written to any table.
class MenuPrint
{
public:
    // False stops the print between two lines.
    using Progress = std::function<bool(int percent)>;

    explicit MenuPrint(QSqlDatabase db) : m_db(std::move(db)) {}

    // Fills the first sheet of the workbook; false and the database's complaint (or the print's
    // cancellation) on failure. Entries
    // whose dish is gone from the dishes are left out and counted in *skipped.
    bool fill(Workbook& workbook, qlonglong menu, const MenuPrintOptions& options, QString* error,
              const Progress& progress = {}, int* skipped = nullptr) const;
    // What the user is told about entries left out; empty when none were.
    static QString skippedNotice(int skipped);

    // "12р 50к": whole roubles and the word, then, when there are kopecks, a space, the kopecks and
    // their word. The price is taken to the kopeck first, so 12.996 reads "13р".
    static QString priceText(double price, const QString& wholeWord, const QString& fractionWord);

private:
    QSqlDatabase m_db;
};
