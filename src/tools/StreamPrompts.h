#pragma once

#include "store/UserPrompts.h"

#include <QStringList>

class QTextStream;

// The prompts of an operation run from the command line: running the command is the user's answer,
// so a confirmation counts as OK; refusals and errors go to err, information to out. A choice among
// several buttons has no answer on the command line and is refused.
class StreamPrompts : public UserPrompts
{
public:
    StreamPrompts(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

    bool confirm(const QString& caption, const QString& text) override;
    void inform(const QString& caption, const QString& text) override;
    void warn(const QString& caption, const QString& text) override;
    int choose(const QString& caption, const QString& text, const QStringList& choices) override;

    // The warnings told so far, caption and text on a line each.
    const QStringList& warnings() const { return m_warnings; }

private:
    QTextStream& m_out;
    QTextStream& m_err;
    QStringList m_warnings;
};
