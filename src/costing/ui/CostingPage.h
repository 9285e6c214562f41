#pragma once

#include "costing/TechnologicalCardPrint.h"
#include "reports/ui/DesktopSpreadsheetLauncher.h"
#include "store/ui/Page.h"
#include "store/UserPrompts.h"

#include <QPointer>

class CalculationCardDialog;
class CostingCardPrintDialog;
class DataGrid;
class EnterpriseChoiceDialog;
class FieldEdit;
class QPushButton;
class RecipeDialog;
class TableModel;

// "Калькуляционные карты": dish groups, their dishes and the costing card of the current dish. The
// views stay open for the whole run; the buttons hand the current keys to the dish catalogue.
class CostingPage : public Page
{
    Q_OBJECT
public:
    explicit CostingPage(UserPrompts* prompts, QWidget* parent = nullptr);

    bool openViews(QSqlDatabase db, QString* error) override;
    void closeViews() override;
    void pageHidden() override;
    void postPending() override;

    DataGrid* groupGrid() const { return m_groupGrid; }
    DataGrid* dishGrid() const { return m_dishGrid; }
    DataGrid* cardGrid() const { return m_cardGrid; }
    TableModel* groups() const { return m_groups; }
    TableModel* dishes() const { return m_dishes; }
    TableModel* card() const { return m_card; }
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* recipeButton() const { return m_recipe; }
    QPushButton* ingredientsButton() const { return m_ingredients; }
    QPushButton* priceButton() const { return m_price; }
    QPushButton* deleteGroupButton() const { return m_deleteGroup; }
    QPushButton* finishButton() const { return m_finish; }
    QPushButton* deleteDishButton() const { return m_deleteDish; }
    QPushButton* deleteLineButton() const { return m_deleteLine; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* calculationCardButton() const { return m_calculationCard; }
    QPushButton* requirementsButton() const { return m_requirements; }
    QPushButton* technologicalCardButton() const { return m_technologicalCard; }
    QPushButton* technicalCardButton() const { return m_technicalCard; }
    CalculationCardDialog* calculationCardDialog() const { return m_calculationCardDialog; }
    CostingCardPrintDialog* cardPrintDialog() const { return m_cardPrintDialog; }
    // Made when first needed, since it needs the database.
    EnterpriseChoiceDialog* enterpriseDialog() const { return m_enterpriseDialog; }

    // Where print-outs go and the date they carry; the desktop's application and the system clock
    // unless replaced (tests). The page does not own them.
    void setSpreadsheetLauncher(SpreadsheetLauncher* launcher) { m_launcher = launcher; }
    void setClock(const Clock* clock) { m_clock = clock; }

    void chooseIngredients();
    void copyDish();
    void showRecipe();
    void calculatePrices();
    void finishDish();
    void deleteGroup();
    void deleteDish();
    void deleteCardLine();
    void printCards();
    void printCalculationCards();
    void showRequirements();
    void printTechnologicalCard(TechnologicalCard kind);
    void printRecipe(const QStringList& shownLines);

protected:
    QList<TableModel*> views() const override { return {m_groups, m_dishes, m_card}; }

private:
    QWidget* buildDishPanel();
    QWidget* buildCardPanel();
    void createViews(QSqlDatabase db);
    bool postAll();
    void applyDishState();
    void applyCardLineState();
    bool rewriteMenuOrder(TableModel& groups, QString* error);

    UserPrompts* m_prompts;
    QSqlDatabase m_db;
    TableModel* m_groups = nullptr;
    TableModel* m_dishes = nullptr;
    TableModel* m_card = nullptr;
    double m_rememberedOrder =
        0; // the current group's order number as a whole number, as last shown or posted
    DataGrid* m_groupGrid;
    DataGrid* m_dishGrid;
    DataGrid* m_cardGrid;
    QWidget* m_extraBox; // holds the edit box of the dish's additional characteristic once the views exist
    FieldEdit* m_extra = nullptr;
    QPushButton* m_copy;
    QPushButton* m_recipe;
    QPushButton* m_ingredients;
    QPushButton* m_price;
    QPushButton* m_deleteGroup;
    QPushButton* m_finish;
    QPushButton* m_deleteDish;
    QPushButton* m_deleteLine;
    QPushButton* m_print;
    QPushButton* m_calculationCard;
    QPushButton* m_technologicalCard;
    QPushButton* m_technicalCard;
    QPushButton* m_requirements;
    QPointer<RecipeDialog> m_recipeDialog;
    CostingCardPrintDialog* m_cardPrintDialog;
    CalculationCardDialog* m_calculationCardDialog;
    EnterpriseChoiceDialog* m_enterpriseDialog = nullptr;
    DesktopSpreadsheetLauncher m_desktopLauncher;
    SpreadsheetLauncher* m_launcher = &m_desktopLauncher;
    SystemClock m_systemClock;
    const Clock* m_clock = &m_systemClock;
};
