#pragma once

#include "store/TableModel.h"

#include <QHash>
#include <QPointer>
#include <QTableView>

#include <functional>

class UserPrompts;

// The one grid of the program: shows a TableModel, keeps the grid's current row and the view's current
// row together, posts the pending edit when the focus leaves the grid, and applies the key rules
// (Insert makes a new row, Ctrl+Delete deletes after the grid's confirmation; either can be blocked).
class DataGrid : public QTableView
{
    Q_OBJECT
public:
    using Choices = std::function<QList<QPair<QVariant, QString>>()>;

    explicit DataGrid(UserPrompts* prompts, QWidget* parent = nullptr);
    ~DataGrid() override;

    void setTableModel(TableModel* model);
    TableModel* tableModel() const { return m_model; }
    void setPrompts(UserPrompts* prompts) { m_prompts = prompts; }

    void setCtrlDeleteBlocked(bool blocked) { m_ctrlDeleteBlocked = blocked; }
    void setInsertBlocked(bool blocked) { m_insertBlocked = blocked; }
    // A column edited by choosing from a drop-down list of (stored value, shown text).
    void setChoices(const QString& field, Choices choices);
    // Sizes the columns to their headers and contents; the first text column takes the rest of the
    // width, down to a floor, so that every column shows without scrolling sideways where they fit.
    void fitColumns();
    // The column that takes the rest of the width; by default the first stored text column.
    void setStretchColumn(int column);
    // Pixels a column needs beyond its header and contents (a button drawn over the cell).
    void setExtraWidth(int column, int pixels);
    // Widths the user gave columns by dragging a header's edge, by field. Fitting keeps them; the
    // window remembers them for the next run.
    QHash<QString, int> userWidths() const { return m_userWidths; }
    void setUserWidths(const QHash<QString, int>& widths);
    // Marks values that a later calculation would divide by zero with, with the reason as a tooltip.
    // flagField: the row's field (or looked-up field) that says it is a semi-finished product.
    void markValueWarnings(const QString& flagField = {});

    // Posts the pending edit (after committing an open cell editor); false if the post was refused.
    bool postPending();

Q_SIGNALS:
    // Double click, Enter or Space on a row: the choosers take the row.
    void rowChosen(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QSize sizeHint() const override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    bool owns(const QWidget* widget) const;
    void onFocusChanged(QWidget* old, QWidget* now);
    void closeOpenEditor();
    void followModel(int row);
    void followModelIn(int row, int column);
    void showError(const QString& message);
    void tellAccessibility();
    void keepUserWidth(int column, int oldWidth, int newWidth);
    int userWidth(int column) const;

    QPointer<TableModel> m_model;
    UserPrompts* m_prompts;
    bool m_ctrlDeleteBlocked = false;
    bool m_insertBlocked = false;
    bool m_syncing = false;
    bool m_fitting = false;
    int m_minimumColumns = 0; // the columns' least total width, for the layouts
    QHash<int, int> m_extraWidths;
    int m_stretchColumn = -1;
    int m_column = 0; // the current cell's column, kept over a reset of the rows
    QHash<QString, int> m_userWidths;
};
