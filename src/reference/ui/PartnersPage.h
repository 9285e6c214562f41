#pragma once

#include "store/ui/Page.h"

class DataGrid;
class QLineEdit;
class TableModel;
class UserPrompts;

// "Партнёры": suppliers and recipients with their requisites; the view is open while the page shows.
class PartnersPage : public Page
{
    Q_OBJECT
public:
    explicit PartnersPage(UserPrompts* prompts, QWidget* parent = nullptr);

    bool openViews(QSqlDatabase db, QString* error) override;
    void pageShown() override;
    void pageHidden() override;
    void closeViews() override { pageHidden(); }
    void postPending() override;

    DataGrid* grid() const { return m_grid; }
    QLineEdit* searchBox() const { return m_search; }
    TableModel* partners() const { return m_partners; }

protected:
    QList<TableModel*> views() const override { return {m_partners}; }

private:
    void buildEditBoxes();

    UserPrompts* m_prompts;
    TableModel* m_partners = nullptr;
    DataGrid* m_grid;
    QLineEdit* m_search;
    QWidget* m_editBoxes = nullptr;
};
