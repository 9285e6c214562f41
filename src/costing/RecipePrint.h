#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

class Workbook;

// "Печать рецепта": the recipe of one dish on a sheet of its own, one line of text to a row.
class RecipePrint
{
public:
    struct Recipe
    {
        QString dishName;
        QStringList lines;
    };

    explicit RecipePrint(QSqlDatabase db) : m_db(std::move(db)) {}

    // The stored dish's name and recipe lines; the shown lines, when given, take the place of the
    // stored text split at its line breaks. Nothing, with the reason in *error, when the dish cannot
    // be read.
    std::optional<Recipe> read(qlonglong dish, QString* error,
                               const std::optional<QStringList>& shownLines = std::nullopt) const;

    // Fills the workbook with the stored dish (read()). The lines as the recipe window shows them,
    // wrapped lines counting as lines, take the place of the stored text when given.
    bool fill(Workbook& workbook, qlonglong dish, QString* error,
              const std::optional<QStringList>& shownLines = std::nullopt) const;

    // The layout itself: title in row 1, line i (from 0) in row i + 3.
    static void fill(Workbook& workbook, const QString& dishName, const QStringList& lines);

    // The text split at every kind of line break (CR LF, LF, CR, and the separators of a text box).
    static QStringList splitLines(const QString& text);

private:
    QSqlDatabase m_db;
};
