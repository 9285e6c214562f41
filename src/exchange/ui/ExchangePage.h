#pragma once

#include "store/ui/Page.h"

#include <QSqlDatabase>

#include <functional>

class DataGrid;
class IngredientAssociationDialog;
class QPushButton;
class TableModel;
class UserPrompts;

// "Экспорт/Импорт": the dish groups, dishes and costing cards shown read-only, the export of the
// current dish to a card file and the import of card files into the current group: each card asked
// and associated in turn, then all stored on a worker in one transaction.
class ExchangePage : public Page
{
    Q_OBJECT
public:
    explicit ExchangePage(UserPrompts* prompts, QWidget* parent = nullptr);

    bool openViews(QSqlDatabase db, QString* error) override;
    void closeViews() override;

    // The file dialogs, replaceable in tests: the chosen file (for the import, files), empty for
    // "Отмена".
    std::function<QString(QWidget*)> chooseSaveFile;
    std::function<QStringList(QWidget*)> chooseOpenFiles;

    DataGrid* groupGrid() const { return m_groupGrid; }
    DataGrid* dishGrid() const { return m_dishGrid; }
    DataGrid* cardGrid() const { return m_cardGrid; }
    TableModel* groups() const { return m_groups; }
    TableModel* dishes() const { return m_dishes; }
    QPushButton* exportButton() const { return m_export; }
    QPushButton* importButton() const { return m_import; }
    IngredientAssociationDialog* associationDialog() const { return m_association; }

    void exportCard();
    void importCard();

protected:
    QList<TableModel*> views() const override { return {m_groups, m_dishes, m_card}; }

private:
    void createViews(QSqlDatabase db);

    UserPrompts* m_prompts;
    QSqlDatabase m_db;
    TableModel* m_groups = nullptr;
    TableModel* m_dishes = nullptr;
    TableModel* m_card = nullptr;
    DataGrid* m_groupGrid;
    DataGrid* m_dishGrid;
    DataGrid* m_cardGrid;
    QPushButton* m_export;
    QPushButton* m_import;
    IngredientAssociationDialog* m_association = nullptr;
};
