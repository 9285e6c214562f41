#pragma once

#include <QDialog>
#include <QSqlDatabase>
#include <QVariant>

class ContextSearchBar;
class DataGrid;
class QPushButton;
class TableModel;
class UserPrompts;

// "Выбор блюд в меню": finished dishes by group, the card of the current dish and the dishes already
// chosen into the menu. Double click, Space or Enter takes the current dish into the menu; on a menu
// that is not released, chosen dishes can be removed and the dishes of another menu copied in.
class DishChooserDialog : public QDialog
{
    Q_OBJECT
public:
    DishChooserDialog(QSqlDatabase db, UserPrompts* prompts, QVariant menu, QWidget* parent = nullptr);

    // False with the store's message in lastError().
    bool openViews();
    QString lastError() const { return m_lastError; }

    DataGrid* groupGrid() const { return m_groupGrid; }
    DataGrid* dishGrid() const { return m_dishGrid; }
    DataGrid* cardGrid() const { return m_cardGrid; }
    DataGrid* chosenGrid() const { return m_chosenGrid; }
    TableModel* dishes() const { return m_dishes; }
    TableModel* chosen() const { return m_chosen; }
    ContextSearchBar* searchBar() const { return m_search; }
    QPushButton* removeButton() const { return m_remove; }
    QPushButton* copyButton() const { return m_copy; }

    void chooseCurrentDish();
    void removeChosenDish();
    void copyFromMenu();

public Q_SLOTS:
    void done(int result) override;

private:
    void setContextSearch(bool on);

    QSqlDatabase m_db;
    UserPrompts* m_prompts;
    QVariant m_menu;
    TableModel* m_groups;
    TableModel* m_dishGroup; // the group of the current dish, while searching
    TableModel* m_dishes;
    TableModel* m_card;
    TableModel* m_chosen;
    DataGrid* m_groupGrid;
    DataGrid* m_dishGrid;
    DataGrid* m_cardGrid;
    DataGrid* m_chosenGrid;
    ContextSearchBar* m_search;
    QPushButton* m_remove;
    QPushButton* m_copy;
    QPushButton* m_ok;
    QString m_lastError;
};
