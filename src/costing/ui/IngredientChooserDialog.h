#pragma once

#include <QDialog>
#include <QSqlDatabase>
#include <QVariant>

class DataGrid;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TableModel;
class UserPrompts;

// Builds the card of one dish under development: choosing a candidate (double click, Enter or Space)
// adds a line for it, and the grams are typed into the card on the right.
class IngredientChooserDialog : public QDialog
{
    Q_OBJECT
public:
    IngredientChooserDialog(QSqlDatabase db, UserPrompts* prompts, QVariant dish, const QString& dishName,
                            QWidget* parent = nullptr);

    // False with the store's message in lastError().
    bool openViews();
    QString lastError() const { return m_lastError; }

    DataGrid* groupGrid() const { return m_groupGrid; }
    DataGrid* candidateGrid() const { return m_candidateGrid; }
    DataGrid* cardGrid() const { return m_cardGrid; }
    TableModel* groups() const { return m_groups; }
    TableModel* candidates() const { return m_candidates; }
    TableModel* card() const { return m_card; }
    QLabel* heading() const { return m_heading; }
    QCheckBox* searchCheck() const { return m_searchCheck; }
    QLineEdit* searchBox() const { return m_searchBox; }
    QPushButton* okButton() const { return m_ok; }

    // Adds a line for the candidate current in the candidate grid.
    void chooseCurrent();

    void done(int result) override;

private:
    void setContextSearch(bool on);

    QSqlDatabase m_db;
    UserPrompts* m_prompts;
    QVariant m_dish;
    QString m_lastError;
    TableModel* m_groups;
    TableModel* m_candidateGroup; // the group of the current candidate, while searching by name
    TableModel* m_candidates;
    TableModel* m_card;
    DataGrid* m_groupGrid;
    DataGrid* m_candidateGrid;
    DataGrid* m_cardGrid;
    QLabel* m_heading;
    QCheckBox* m_searchCheck;
    QLineEdit* m_searchBox;
    QPushButton* m_ok;
};
