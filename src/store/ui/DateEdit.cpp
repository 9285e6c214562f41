#include "DateEdit.h"

#include "store/Field.h"
#include "store/ui/MessageBoxPrompts.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

DateEdit::DateEdit(QWidget* parent) : QDateEdit(parent)
{
    setDisplayFormat(u"dd.MM.yyyy"_s);
    // A day chosen afterwards (in the calendar, with the arrows) clears an earlier refusal; the editor
    // announces its date again as it leaves the refused text, which clears nothing.
    connect(this, &QDateEdit::dateChanged, this, [this] {
        if (!m_leaving)
            m_refusal.clear();
    });
}

bool DateEdit::namesNoDay(const QString& text) const
{
    // Only a date typed out in full: a section still being typed is the editor's own business.
    const QDate date = QDate::fromString(text, displayFormat());
    return !date.isValid() && text.size() == displayFormat().size() &&
           std::all_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.isDigit() || ch == u'.'; });
}

QValidator::State DateEdit::validate(QString& input, int& pos) const
{
    if (namesNoDay(input))
        return QValidator::Intermediate;
    return QDateEdit::validate(input, pos);
}

void DateEdit::fixup(QString& input) const
{
    // The editor would move 31.02 to 28.02: the text stays as typed and is refused instead.
    if (!namesNoDay(input))
        QDateEdit::fixup(input);
}

void DateEdit::noteRefusal()
{
    const QString typed = lineEdit()->text();
    if (namesNoDay(typed))
        m_refusal = missingDateMessage(typed);
}

void DateEdit::focusOutEvent(QFocusEvent* event)
{
    noteRefusal();
    const QString refusal = m_refusal;
    m_leaving = true;
    QDateEdit::focusOutEvent(event);
    m_leaving = false;
    if (!refusal.isEmpty())
        Q_EMIT refused(refusal);
}

void DateEdit::keyPressEvent(QKeyEvent* event)
{
    // A date typed out in full, "01.12.2026": the editor moves to the next section by itself once a
    // section is complete, so the separator typed right after must not move it once more (the month's
    // digits would land in the year).
    const bool separator = event->text() == u"."_s;
    if (separator && m_movedOn) {
        m_movedOn = false;
        event->accept();
        return;
    }
    const int section = currentSectionIndex();
    m_leaving = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (m_leaving)
        noteRefusal();
    QDateEdit::keyPressEvent(event);
    m_leaving = false;
    m_movedOn =
        event->text().size() == 1 && event->text().front().isDigit() && currentSectionIndex() != section;
}

QString DateEdit::takeRefusal()
{
    noteRefusal();
    if (!m_refusal.isEmpty()) {
        m_leaving = true;
        setDate(date()); // shows the last valid date again
        m_leaving = false;
    }
    return std::exchange(m_refusal, QString());
}

bool DateEdit::datesAccepted(QWidget* dialog)
{
    for (DateEdit* field : dialog->findChildren<DateEdit*>()) {
        const QString refusal = field->takeRefusal();
        if (refusal.isEmpty())
            continue;
        MessageBoxPrompts(dialog).warn(u"Дата"_s, refusal);
        field->setFocus();
        field->selectAll();
        return false;
    }
    return true;
}
