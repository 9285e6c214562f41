#pragma once

#include <QDialog>
#include <QSqlDatabase>

class DataGrid;
class QPushButton;
class TableModel;
class UserPrompts;

// "Ингредиенты  (можно вносить новые ингредиенты, за исключением полуфабрикатов)": the page's own group
// view on the left and the ingredients of the current group on the right, where ordinary ingredients
// can be added and edited. An ingredient without a price or a unit is not left until it is fixed.
class IngredientPickerDialog : public QDialog
{
    Q_OBJECT
public:
    // groups is the view of the ingredients page; the dialog shows it, it does not own it.
    IngredientPickerDialog(UserPrompts* prompts, QSqlDatabase db, TableModel* groups,
                           QWidget* parent = nullptr);

    // Opens the ingredient view; false with the store's message.
    bool openViews(QString* error);
    void closeViews();

    DataGrid* groupGrid() const { return m_groupGrid; }
    DataGrid* ingredientGrid() const { return m_ingredientGrid; }
    TableModel* ingredients() const { return m_ingredients; }
    QPushButton* chooseButton() const { return m_choose; }
    // The name chosen with "Выбор" or a double click; empty otherwise.
    QString chosenName() const { return m_chosen; }

    void done(int result) override;

private:
    void choose();

    UserPrompts* m_prompts;
    QSqlDatabase m_db;
    TableModel* m_ingredients;
    DataGrid* m_groupGrid;
    DataGrid* m_ingredientGrid;
    QPushButton* m_choose;
    QString m_chosen;
};
