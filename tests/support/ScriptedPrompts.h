#pragma once

#include "store/UserPrompts.h"

#include <QList>
#include <QStringList>

// Prompts answered from a script: confirmations take the next queued answer (OK when none is
// queued), and every message shown is recorded as "caption|text". Asked while a transaction is open on
// the thread's connections, a prompt fails the test: a real window would hold the rows meanwhile.
class ScriptedPrompts : public UserPrompts
{
public:
    using UserPrompts::confirm;
    bool confirm(const QString& caption, const QString& text, Default byDefault) override;
    void inform(const QString& caption, const QString& text) override;
    void warn(const QString& caption, const QString& text) override;
    // Takes the next queued choice (-1, closed, when none is queued).
    int choose(const QString& caption, const QString& text, const QStringList& choices) override;
    void queueChoice(int choice) { m_choices.append(choice); }

    void queueConfirm(bool answer) { m_answers.append(answer); }
    QStringList shown;        // every confirmation, information and warning in order
    QStringList questions;    // confirmations only
    QStringList irreversible; // the confirmations whose default answer is "Отмена"

    QString last() const { return shown.isEmpty() ? QString() : shown.last(); }

private:
    QList<bool> m_answers;
    QList<int> m_choices;
};

// Dates answered from a script: the next queued answer (nothing queued: OK on the offered date);
// std::nullopt stands for "Отмена". Every offered date is recorded.
class ScriptedDatePrompt : public DatePrompt
{
public:
    std::optional<QDate> askDate(const QDate& initial) override;

    void queue(std::optional<QDate> answer) { m_answers.append(answer); }
    QList<QDate> offered;

private:
    QList<std::optional<QDate>> m_answers;
};

// Save questions answered from a script: the next queued path (nothing queued: "Отмена"). Every
// question is recorded with its suggested name and filters.
class ScriptedSaveFilePrompt : public SaveFilePrompt
{
public:
    QString askSaveFile(const QString& caption, const QString& suggested, const QStringList& filters) override
    {
        asked.append({caption, suggested, filters.join(QStringLiteral(";;"))});
        return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
    }

    void queue(const QString& path) { m_answers.append(path); }
    QList<QStringList> asked; // caption, suggested name, filters

private:
    QStringList m_answers;
};

class FixedClock : public Clock
{
public:
    explicit FixedClock(QDate date) : m_date(date) {}
    QDate today() const override { return m_date; }

private:
    QDate m_date;
};
