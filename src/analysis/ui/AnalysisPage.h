#pragma once

#include "analysis/AnalysisFigures.h"
#include "reports/ui/DesktopSpreadsheetLauncher.h"
#include "store/ui/Page.h"
#include "store/UserPrompts.h"

#include <QSqlDatabase>

#include <memory>
#include <optional>

class DateEdit;
class QChartView;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

// "Анализ": a picture of the kitchen's figures (an ingredient's price over a period, the food-cost share
// of a group's or a menu's dishes, the menu matrix of a period's sales, sales and cost per day, what a
// price change would do to the costs) as a chart with the same figures as a table beside it. "Печать" prints
// the table, "Сохранить" writes the chart as PNG or PDF. The figures are read on a worker.
class AnalysisPage : public Page
{
    Q_OBJECT
public:
    explicit AnalysisPage(UserPrompts* prompts, QWidget* parent = nullptr);
    ~AnalysisPage() override;

    void setClock(const Clock* clock);
    // Where "Сохранить" asks the file; the window's file dialog by default.
    void setSaveFilePrompt(SaveFilePrompt* files) { m_files = files; }
    void setSpreadsheetLauncher(SpreadsheetLauncher* launcher) { m_launcher = launcher; }

    bool openViews(QSqlDatabase db, QString* error) override;
    void closeViews() override;
    void pageShown() override;

    // The choices as the controls hold them.
    AnalysisChoice choice() const;
    void choosePicture(Picture picture);
    void setPeriod(const QDate& start, const QDate& end);
    // Selects the row of the chooser whose key it is; false when none has it.
    bool chooseIngredient(qlonglong key);
    bool chooseDishes(DishSet set, qlonglong key);
    void setThreshold(double percent);
    // The price change of "Что если" and its ingredient group (the ingredient is chooseIngredient's).
    void setPriceChange(const PriceRecalculation::Settings& change);
    bool chooseIngredientGroup(qlonglong key);

    // "Показать": reads the figures of the choice and shows them; false when refused or cancelled.
    bool showFigures();
    void print();
    // "Сохранить": the chart as the file asked for, PNG or PDF by its suffix.
    void saveChart();

    const std::optional<AnalysisFigures>& figures() const { return m_figures; }
    QTableWidget* table() const { return m_table; }
    QChartView* chartView() const { return m_chartView; }
    QPushButton* showButton() const { return m_show; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* saveButton() const { return m_save; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Reads the choosers' rows again, keeping what is chosen; false with the store's message.
    bool fillChoosers(QString* error);
    void fillDishes();
    void updateControls();
    void present(const AnalysisFigures& figures);
    void fitColumns();
    bool writeChart(const QString& path, QString* error);

    UserPrompts* m_prompts;
    std::unique_ptr<SaveFilePrompt> m_ownFiles;
    SaveFilePrompt* m_files;
    SystemClock m_systemClock;
    const Clock* m_clock = &m_systemClock;
    DesktopSpreadsheetLauncher m_desktopLauncher;
    SpreadsheetLauncher* m_launcher = &m_desktopLauncher;
    QSqlDatabase m_db;
    bool m_shownOnce = false;
    std::optional<AnalysisFigures> m_figures;
    std::vector<NamedKey> m_groups;
    std::vector<NamedKey> m_menus;

    QComboBox* m_picture;
    DateEdit* m_start;
    DateEdit* m_end;
    QComboBox* m_ingredient;
    QComboBox* m_set;
    QComboBox* m_dishes;
    QDoubleSpinBox* m_threshold;
    QComboBox* m_scope;
    QComboBox* m_ingredientGroup;
    QComboBox* m_action;
    QSpinBox* m_percent;
    QPushButton* m_show;
    QPushButton* m_print;
    QPushButton* m_save;
    QList<QWidget*> m_periodRow;
    QList<QWidget*> m_ingredientRow;
    QList<QWidget*> m_dishesRow;
    QList<QWidget*> m_thresholdRow;
    QList<QWidget*> m_scopeRow;
    QList<QWidget*> m_ingredientGroupRow;
    QList<QWidget*> m_changeRow;
    QChartView* m_chartView;
    QTableWidget* m_table;
    QLabel* m_notes;
    QList<int> m_textColumns; // of the table shown, which the fitting may narrow
};
