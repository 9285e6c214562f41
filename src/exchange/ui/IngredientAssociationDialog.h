#pragma once

#include "exchange/CardExchange.h"

#include <QDialog>
#include <QSqlDatabase>
#include <QVariant>

class DataGrid;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TableModel;
class UserPrompts;

// "Выбор ингредиентов соответствующих ингредиентам в импортируемом блюде": offers each ingredient of an
// imported card in turn; the user associates one of the kitchen's own ingredients (or enters a new
// one) and the protocol of the import grows on the right.
class IngredientAssociationDialog : public QDialog, public IngredientMatcher
{
    Q_OBJECT
public:
    IngredientAssociationDialog(UserPrompts* prompts, QSqlDatabase db, QWidget* parent = nullptr);

    // Opens the ingredient list; false with the store's message.
    bool openViews(QString* error);
    void closeViews();

    void startDish(const QString& dishName) override;
    void addProtocolLine(const QString& line) override;
    std::optional<qlonglong> associate(const QString& offered, const QString& unit) override;

    QLabel* heading() const { return m_heading; }
    QLineEdit* offeredBox() const { return m_offered; }
    QLineEdit* chosenBox() const { return m_chosen; }
    QLineEdit* searchBox() const { return m_search; }
    DataGrid* ingredientGrid() const { return m_grid; }
    QPlainTextEdit* protocol() const { return m_protocol; }
    QPushButton* associateButton() const { return m_associate; }
    QPushButton* newIngredientButton() const { return m_newIngredient; }
    QPushButton* searchButton() const { return m_searchInGroups; }
    QPushButton* refuseButton() const { return m_refuse; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseCurrent();
    void enterNewIngredient();
    void searchInGroups();

    UserPrompts* m_prompts;
    QSqlDatabase m_db;
    TableModel* m_ingredients;
    TableModel* m_groups;
    QLabel* m_heading;
    QLineEdit* m_offered;
    QLineEdit* m_chosen;
    QLineEdit* m_search;
    DataGrid* m_grid;
    QPlainTextEdit* m_protocol;
    QPushButton* m_associate;
    QPushButton* m_newIngredient;
    QPushButton* m_searchInGroups;
    QPushButton* m_refuse;
    QVariant m_chosenKey;
};
