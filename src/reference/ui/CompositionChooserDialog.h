#pragma once

#include <QDialog>
#include <QSqlDatabase>
#include <QVariant>

class ContextSearchBar;
class DataGrid;
class QLabel;
class TableModel;
class UserPrompts;

// "Выбор ингредиентов полуфабриката (ингредиентов без цен в таблице нет)": components are chosen by a
// double click among the priced ingredients of a group and their grams typed into the composition.
// Every close sets the product's price to 0 until the next price calculation.
class CompositionChooserDialog : public QDialog
{
    Q_OBJECT
public:
    CompositionChooserDialog(UserPrompts* prompts, QSqlDatabase db, QWidget* parent = nullptr);

    // Opens the views for the current product of the page's ingredient view; false with the store's
    // message.
    bool openViews(TableModel* products, QString* error);

    DataGrid* groupGrid() const { return m_groupGrid; }
    DataGrid* candidateGrid() const { return m_candidateGrid; }
    DataGrid* compositionGrid() const { return m_compositionGrid; }
    ContextSearchBar* contextSearch() const { return m_search; }
    QLabel* heading() const { return m_heading; }

    void done(int result) override;

private:
    void choose();
    void setContextSearch(bool on);

    UserPrompts* m_prompts;
    QSqlDatabase m_db;
    TableModel* m_groups;
    TableModel* m_candidates;
    TableModel* m_composition;
    DataGrid* m_groupGrid;
    DataGrid* m_candidateGrid;
    DataGrid* m_compositionGrid;
    ContextSearchBar* m_search;
    QLabel* m_heading;
    QVariant m_product;
};
