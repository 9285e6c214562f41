#pragma once

#include "store/UserPrompts.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QWidget;

// "Дата": a date with a calendar pop-up, OK and "Отмена". The menu print also shows the panel of its
// five texts and the check box "Подчеркнуть строки в меню"; every other use hides them. A window keeps
// one for the whole run, so the check box keeps the user's last choice.
class DatePromptDialog : public QDialog
{
    Q_OBJECT
public:
    // The print texts in the order of the menu print's settings file.
    enum PrintText
    {
        WholeWord,
        FractionWord,
        NameHeading,
        YieldHeading,
        PriceHeading,
        PrintTextCount
    };

    explicit DatePromptDialog(QWidget* parent = nullptr);

    QDate date() const;
    void setDate(const QDate& date);

    void setPrintOptionsVisible(bool visible);
    bool printOptionsVisible() const;
    // Five texts, indexed by PrintText; missing ones read as empty.
    QStringList printTexts() const;
    void setPrintTexts(const QStringList& texts);
    bool underline() const;
    void setUnderline(bool on);

    QDateEdit* dateEdit() const { return m_date; }
    QLineEdit* textEdit(PrintText which) const { return m_texts[which]; }
    QCheckBox* underlineBox() const { return m_underline; }

private:
    QDateEdit* m_date;
    QWidget* m_panel;
    QLineEdit* m_texts[PrintTextCount];
    QCheckBox* m_underline;
};

// Asks dates through a DatePromptDialog with its print options hidden.
class DialogDatePrompt : public DatePrompt
{
public:
    explicit DialogDatePrompt(QWidget* parent = nullptr) : m_parent(parent) {}

    std::optional<QDate> askDate(const QDate& initial) override;

private:
    QWidget* m_parent;
};
