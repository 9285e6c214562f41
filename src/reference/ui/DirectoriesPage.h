#pragma once

#include "store/ui/Page.h"

class DataGrid;
class QPushButton;
class TableModel;
class UserPrompts;

// "Справочники": units of measure and the officials who sign the printed menu.
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

private:
    void deleteUnit();
    void deleteSignature();

    UserPrompts* m_prompts;
    QSqlDatabase m_db;
    TableModel* m_units = nullptr;
    TableModel* m_signatures = nullptr;
    DataGrid* m_unitGrid;
    DataGrid* m_signatureGrid;
    QWidget* m_positionBox = nullptr;
    QPushButton* m_deleteUnit;
    QPushButton* m_deleteSignature;
};
