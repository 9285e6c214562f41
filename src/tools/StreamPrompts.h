#pragma once

#include "store/UserPrompts.h"

#include <QStringList>

class QTextStream;

// The prompts of an operation run from the command line. Where running the command is the user's
// answer, a confirmation counts as OK; where it is not (an import into a kitchen), only an option
// such as --yes answers it, and without it the confirmation is refused with the hint naming that
// option. Refusals and errors go to err, information to out. A choice among several buttons has no
// answer on the command line and is refused.
class StreamPrompts : public UserPrompts
{
public:
    StreamPrompts(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}
    StreamPrompts(QTextStream& out, QTextStream& err, bool confirmed, QString unconfirmedHint)
        : m_out(out), m_err(err), m_confirmed(confirmed), m_unconfirmedHint(std::move(unconfirmedHint))
    {
    }

    using UserPrompts::confirm;
    bool confirm(const QString& caption, const QString& text, Default byDefault) override;
    void inform(const QString& caption, const QString& text) override;
    void warn(const QString& caption, const QString& text) override;
    int choose(const QString& caption, const QString& text, const QStringList& choices) override;

    // The warnings told so far, caption and text on a line each.
    const QStringList& warnings() const { return m_warnings; }

private:
    QTextStream& m_out;
    QTextStream& m_err;
    QStringList m_warnings;
    bool m_confirmed = true;
    QString m_unconfirmedHint;
};
