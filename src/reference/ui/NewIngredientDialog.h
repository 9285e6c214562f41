#pragma once

#include "reference/PriceHistory.h"

#include <QDialog>
#include <QSqlDatabase>
#include <QVariant>

class DataGrid;
class QLineEdit;
class QPushButton;
class TableModel;
class UserPrompts;

// "Добавление нового ингредиента": a group and a unit chosen in two plain editable grids, a name and a
// price typed in the system's number format. OK stores an ordinary ingredient and closes; the caller
// refreshes its own ingredient views on added().
class NewIngredientDialog : public QDialog
{
    Q_OBJECT
public:
    // The source is what the price history says brought the new ingredient in.
    NewIngredientDialog(UserPrompts* prompts, QSqlDatabase db, PriceHistory::Source source,
                        QWidget* parent = nullptr);

    // Opens the group and unit views; false with the store's message.
    bool openViews(QString* error);

    DataGrid* groupGrid() const { return m_groupGrid; }
    DataGrid* unitGrid() const { return m_unitGrid; }
    QLineEdit* nameBox() const { return m_name; }
    QLineEdit* priceBox() const { return m_price; }
    QPushButton* okButton() const { return m_ok; }
    QVariant addedKey() const { return m_added; }

    void done(int result) override;

Q_SIGNALS:
    void added(const QVariant& ingredientKey);

private:
    void store();

    UserPrompts* m_prompts;
    QSqlDatabase m_db;
    PriceHistory::Source m_source;
    TableModel* m_groups;
    TableModel* m_units;
    DataGrid* m_groupGrid;
    DataGrid* m_unitGrid;
    QLineEdit* m_name;
    QLineEdit* m_price;
    QPushButton* m_ok;
    QVariant m_added;
};
