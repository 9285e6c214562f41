#pragma once

#include <QDialog>
#include <QSqlDatabase>

#include <optional>

class QLineEdit;
class QTableWidget;
class UserPrompts;

// "Выбор партнёра": the partners by name, narrowed at each key to the names that hold the typed text
// (case-insensitive, quotes are plain text). A double click or Enter acts as OK.
class PartnerChooserDialog : public QDialog
{
    Q_OBJECT
public:
    PartnerChooserDialog(QSqlDatabase db, UserPrompts* prompts, QWidget* parent = nullptr);

    // Shows the dialog with an empty search; the partner current on OK, 0 when the list was empty,
    // nothing on "Отмена".
    std::optional<qlonglong> choose();

    QLineEdit* searchBox() const { return m_search; }
    QTableWidget* list() const { return m_list; }

private:
    void search();

    QSqlDatabase m_db;
    UserPrompts* m_prompts;
    QTableWidget* m_list;
    QLineEdit* m_search;
};
