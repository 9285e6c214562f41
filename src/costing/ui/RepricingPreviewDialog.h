#pragma once

#include "costing/RepricingPreview.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class UserPrompts;

// "Что изменится": the preview of a repricing before anything is stored. A sortable table of the
// semi-finished products and dishes whose cost changes, the dishes whose food-cost share crosses the
// threshold marked; "Применить" accepts, "Отмена" leaves the kitchen untouched.
class RepricingPreviewDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RepricingPreviewDialog(RepricingPreviewResult preview, QWidget* parent = nullptr);

    QTableWidget* table() const { return m_table; }
    QSpinBox* thresholdBox() const { return m_threshold; }
    QPushButton* applyButton() const { return m_apply; }
    // The rows marked as crossing the threshold now.
    int crossingCount() const;

private:
    void markCrossings();

    RepricingPreviewResult m_preview;
    QLabel* m_summary;
    QSpinBox* m_threshold;
    QTableWidget* m_table;
    QPushButton* m_apply;
};

// The check the ingredients page runs before "Пересчёт цен": the preview computed on the worker, then
// the dialog. True when the user chose "Применить".
bool previewRepricing(QWidget* parent, UserPrompts& prompts, const QSqlDatabase& db,
                      const PriceRecalculation::Settings& settings, const QVariant& ingredientKey,
                      const QVariant& groupKey);
