#pragma once

#include <QDialog>
#include <QSqlDatabase>
#include <QVariant>

class DataGrid;
class TableModel;
class UserPrompts;

// "Выбор меню для копирования": every menu and the entries of the selected one, in the order a copy
// takes them.
class MenuCopyDialog : public QDialog
{
    Q_OBJECT
public:
    MenuCopyDialog(QSqlDatabase db, UserPrompts* prompts, QWidget* parent = nullptr);

    bool openViews();
    void closeViews();
    QString lastError() const { return m_lastError; }
    QVariant chosenMenu() const;

    DataGrid* menuGrid() const { return m_menuGrid; }
    DataGrid* entryGrid() const { return m_entryGrid; }
    TableModel* menus() const { return m_menus; }

private:
    TableModel* m_menus;
    TableModel* m_entries;
    DataGrid* m_menuGrid;
    DataGrid* m_entryGrid;
    QString m_lastError;
};
