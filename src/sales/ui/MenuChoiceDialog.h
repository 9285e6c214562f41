#pragma once

#include <QDialog>
#include <QSqlDatabase>
#include <QVariant>

class DataGrid;
class QCheckBox;
class QDateEdit;
class TableModel;
class UserPrompts;

// The menu chooser of a sales document: the released menus by date, the items of the current one and
// "Показывать исключённые" (excluded items listed too, red on silver). Its views are open only while
// it is shown through choose().
class MenuChoiceDialog : public QDialog
{
    Q_OBJECT
public:
    MenuChoiceDialog(QSqlDatabase db, UserPrompts* prompts, QWidget* parent = nullptr);

    // Shows the chooser positioned on the given menu; the chosen menu's key on OK, an empty value
    // otherwise. The views are closed again on every way out.
    QVariant choose(const QVariant& currentMenu);

    TableModel* menus() const { return m_menus; }
    TableModel* items() const { return m_items; }
    DataGrid* menuGrid() const { return m_menuGrid; }
    DataGrid* itemGrid() const { return m_itemGrid; }
    QCheckBox* showExcludedBox() const { return m_showExcluded; }
    QDateEdit* dateEdit() const { return m_date; }
    QString lastError() const { return m_lastError; }

private:
    void applyExcludedFilter();

    TableModel* m_menus;
    TableModel* m_items;
    DataGrid* m_menuGrid;
    DataGrid* m_itemGrid;
    QDateEdit* m_date;
    QCheckBox* m_showExcluded;
    QString m_lastError;
};
