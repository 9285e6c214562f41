#pragma once

#include <QSqlDatabase>
#include <QWidget>

class QLineEdit;
class QPushButton;
class UserPrompts;

// The tab "Организация" of "Справочники": the organisation's details for the printed forms, one edit
// box each, stored together by "Сохранить".
class OrganisationTab : public QWidget
{
    Q_OBJECT
public:
    explicit OrganisationTab(UserPrompts* prompts, QWidget* parent = nullptr);

    // Shows the stored details; false with the store's message.
    bool load(QSqlDatabase db, QString* error);
    // Stores what the boxes hold; a refusal is shown and the stored details stay as they were.
    bool save();
    // At exit: stores what was typed since the last load or save, as the grids post their rows. A
    // refusal is shown once; the details are not offered again.
    void savePending();

    // The box of a field of Org ("Inn", "Name", ...); null for an unknown one.
    QLineEdit* edit(const QString& column) const;
    QPushButton* saveButton() const { return m_save; }

private:
    UserPrompts* m_prompts;
    QSqlDatabase m_db;
    QList<QLineEdit*> m_edits; // in the order of OrganisationDetails::fields()
    QPushButton* m_save;
    bool m_typed = false;
};
