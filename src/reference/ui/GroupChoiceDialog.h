#pragma once

#include <QDialog>
#include <QSqlDatabase>
#include <QVariant>

class DataGrid;
class TableModel;
class UserPrompts;

// "Выбор новой группы для ингредиента": all groups in a plain editable grid (names can be edited, groups
// added with Insert and deleted with the grid's own Ctrl+Delete), OK and Cancel.
class GroupChoiceDialog : public QDialog
{
    Q_OBJECT
public:
    GroupChoiceDialog(UserPrompts* prompts, QSqlDatabase db, QWidget* parent = nullptr);

    // Opens the group view; false with the store's message.
    bool openViews(QString* error);
    DataGrid* grid() const { return m_grid; }
    // The group current when OK was pressed; null otherwise.
    QVariant chosenGroup() const { return m_chosen; }

    void done(int result) override;

private:
    TableModel* m_groups;
    DataGrid* m_grid;
    QVariant m_chosen;
};
