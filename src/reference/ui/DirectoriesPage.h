#pragma once

#include "store/ui/Page.h"

class DataGrid;
class OrganisationTab;
class QGridLayout;
class QPushButton;
class QTabWidget;
class TableModel;
class UserPrompts;

// "Справочники": units of measure and the officials who sign the printed menu on one tab, the
// organisation's details for the printed forms on "Организация".
class DirectoriesPage : public Page
{
    Q_OBJECT
public:
    explicit DirectoriesPage(UserPrompts* prompts, QWidget* parent = nullptr);

    bool openViews(QSqlDatabase db, QString* error) override;
    void closeViews() override;
    void postPending() override;

    DataGrid* unitGrid() const { return m_unitGrid; }
    DataGrid* signatureGrid() const { return m_signatureGrid; }
    QPushButton* deleteUnitButton() const { return m_deleteUnit; }
    QPushButton* deleteSignatureButton() const { return m_deleteSignature; }
    QTabWidget* tabs() const { return m_tabs; }
    OrganisationTab* organisationTab() const { return m_organisation; }

protected:
    QList<TableModel*> views() const override { return {m_units, m_signatures}; }

private:
    void deleteUnit();
    void deleteSignature();

    UserPrompts* m_prompts;
    QSqlDatabase m_db;
    QTabWidget* m_tabs;
    QWidget* m_lists;
    QGridLayout* m_listsLayout;
    OrganisationTab* m_organisation;
    TableModel* m_units = nullptr;
    TableModel* m_signatures = nullptr;
    DataGrid* m_unitGrid;
    DataGrid* m_signatureGrid;
    QWidget* m_positionBox = nullptr;
    QPushButton* m_deleteUnit;
    QPushButton* m_deleteSignature;
};
