#pragma once

#include "reference/PriceRecalculation.h"
#include "store/ui/DataGrid.h"
#include "store/ui/Page.h"

#include <functional>

class CompositionChooserDialog;
class ContextSearchBar;
class PriceRecalculationDialog;
class QCheckBox;
class QPushButton;
class TableModel;
class UserPrompts;

// "Ингредиенты": groups, the ingredients of the current group (or all of them while context search is
// on), the flag of a semi-finished product with its composition, and the buttons that delete, move and
// re-price ingredients under the rules of the catalogue.
class IngredientsPage : public Page
{
    Q_OBJECT
public:
    explicit IngredientsPage(UserPrompts* prompts, QWidget* parent = nullptr);

    bool openViews(QSqlDatabase db, QString* error) override;
    void closeViews() override;
    void pageHidden() override;
    void postPending() override;

    // Shows what a repricing would do before it runs; true to go on with it. The main window plugs in
    // the costing's preview; without one the repricing runs as soon as it is chosen.
    using RepricingCheck = std::function<bool(QWidget* parent, UserPrompts& prompts, const QSqlDatabase& db,
                                              const PriceRecalculation::Settings& settings,
                                              const QVariant& ingredientKey, const QVariant& groupKey)>;
    void setRepricingCheck(RepricingCheck check) { m_checkRepricing = std::move(check); }

    void setContextSearch(bool on);

    // The unit short names for a drop-down of the unit column, read when the list opens.
    static DataGrid::Choices unitChoices(QSqlDatabase db);

    TableModel* groups() const { return m_groups; }
    TableModel* ingredients() const { return m_ingredients; }
    TableModel* composition() const { return m_composition; }
    DataGrid* groupGrid() const { return m_groupGrid; }
    DataGrid* ingredientGrid() const { return m_ingredientGrid; }
    DataGrid* compositionGrid() const { return m_compositionGrid; }
    QCheckBox* semiFinishedBox() const { return m_semiFinished; }
    ContextSearchBar* contextSearch() const { return m_search; }
    QPushButton* compositionButton() const { return m_compositionButton; }
    QPushButton* moveButton() const { return m_moveButton; }
    QPushButton* deleteGroupButton() const { return m_deleteGroup; }
    QPushButton* deleteIngredientButton() const { return m_deleteIngredient; }
    QPushButton* deleteComponentButton() const { return m_deleteComponent; }
    QPushButton* recalculateButton() const { return m_recalculate; }
    PriceRecalculationDialog* priceDialog() const { return m_priceDialog; }
    CompositionChooserDialog* compositionChooser() const { return m_chooser; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    QList<TableModel*> views() const override;

private:
    void showIngredientKind();
    void flagLeft();
    void editComposition();
    void moveIngredient();
    void deleteGroup();
    void deleteIngredient();
    void deleteComponent();
    void recalculatePrices();
    bool postAll();

    UserPrompts* m_prompts;
    RepricingCheck m_checkRepricing;
    QSqlDatabase m_db;
    TableModel* m_groups = nullptr;
    TableModel* m_ingredients = nullptr;
    TableModel* m_composition = nullptr;
    DataGrid* m_groupGrid;
    DataGrid* m_ingredientGrid;
    DataGrid* m_compositionGrid;
    QCheckBox* m_semiFinished;
    ContextSearchBar* m_search;
    QPushButton* m_compositionButton;
    QPushButton* m_moveButton;
    QPushButton* m_deleteGroup;
    QPushButton* m_deleteIngredient;
    QPushButton* m_deleteComponent;
    QPushButton* m_recalculate;
    PriceRecalculationDialog* m_priceDialog;
    CompositionChooserDialog* m_chooser = nullptr;
    bool m_reverting = false;
};
