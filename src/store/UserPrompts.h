#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// What an operation may ask or tell the user in the middle of its work. Windows answer with dialogs,
// tests with scripted answers.
class UserPrompts
{
public:
    virtual ~UserPrompts() = default;

    // What Enter answers: a question before something that deletes or cannot be undone defaults to
    // "Отмена", so that a key pressed out of habit loses nothing.
    enum class Default
    {
        Ok,
        Cancel
    };

    // A question with "OK" and "Отмена"; true for OK.
    virtual bool confirm(const QString& caption, const QString& text, Default byDefault) = 0;
    bool confirm(const QString& caption, const QString& text) { return confirm(caption, text, Default::Ok); }
    // A question before a deletion or a change that cannot be undone.
    bool confirmIrreversible(const QString& caption, const QString& text)
    {
        return confirm(caption, text, Default::Cancel);
    }
    // Information with a single OK.
    virtual void inform(const QString& caption, const QString& text) = 0;
    // A refusal or an error with a single OK.
    virtual void warn(const QString& caption, const QString& text) = 0;
    // A question answered by one of several buttons; the index of the choice, -1 when the window was
    // closed without one.
    virtual int choose(const QString& caption, const QString& text, const QStringList& choices) = 0;
};

// The date dialog "Дата": the date of a new menu, sales document, warehouse document or inventory.
class DatePrompt
{
public:
    virtual ~DatePrompt() = default;

    // Offers the initial date; the chosen date on OK, nothing on "Отмена".
    virtual std::optional<QDate> askDate(const QDate& initial) = 0;
};

// A folder chosen by the user: where the kitchen is, at the first start.
class FolderPrompt
{
public:
    virtual ~FolderPrompt() = default;

    // The chosen folder; empty on "Отмена".
    virtual QString askFolder(const QString& caption, const QString& start) = 0;
};

// The name of a file to be written, chosen by the user.
class SaveFilePrompt
{
public:
    virtual ~SaveFilePrompt() = default;

    // The chosen path, empty on "Отмена". Filters as a file dialog takes them ("Рисунок PNG (*.png)");
    // a name typed without a suffix gets the suffix of the filter chosen.
    virtual QString askSaveFile(const QString& caption, const QString& suggested,
                                const QStringList& filters) = 0;
};

// The clock, so that dated print-outs and documents are testable.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class SystemClock : public Clock
{
public:
    QDate today() const override { return QDate::currentDate(); }
};
