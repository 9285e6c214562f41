#pragma once

#include <QDialog>
#include <QSqlDatabase>
#include <QVariant>

class DataGrid;
class QLineEdit;
class TableModel;
class UserPrompts;

// Asks for the name of a dish's copy and the group it goes to.
class CopyDishDialog : public QDialog
{
    Q_OBJECT
public:
    CopyDishDialog(QSqlDatabase db, UserPrompts* prompts, const QString& dishName, QVariant currentGroup,
                   QWidget* parent = nullptr);

    // False with the store's message in lastError().
    bool openViews();
    QString lastError() const { return m_lastError; }

    QString newName() const;
    QVariant targetGroup() const;
    QLineEdit* nameBox() const { return m_name; }
    DataGrid* groupGrid() const { return m_groupGrid; }
    TableModel* groups() const { return m_groups; }

private:
    QVariant m_currentGroup;
    QString m_lastError;
    QLineEdit* m_name;
    TableModel* m_groups;
    DataGrid* m_groupGrid;
};
