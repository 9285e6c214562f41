#pragma once

#include <QDateEdit>

// The date field of every dialog: a typed day that does not exist ("31.02.2026") is kept as typed
// instead of being quietly moved to a day that does, and is refused when the field is left or the
// dialog confirmed, with the grid's message.
class DateEdit : public QDateEdit
{
    Q_OBJECT
public:
    explicit DateEdit(QWidget* parent = nullptr);

    // The message for a date typed and refused since the last call, or an empty string; the field
    // shows its last valid date again.
    QString takeRefusal();

    // Whether every date field of the dialog holds a real day; otherwise tells the first refusal in a
    // message box, puts the focus on that field and returns false. Dialogs call it before accepting.
    static bool datesAccepted(QWidget* dialog);

Q_SIGNALS:
    // A typed date was refused as the field was left (for fields outside a dialog's OK).
    void refused(const QString& message);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool namesNoDay(const QString& text) const;
    void noteRefusal();

    QString m_refusal;
    bool m_leaving = false;
    bool m_movedOn = false; // the last digit completed its section and moved on
};
