#include "StreamPrompts.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

QString line(const QString& caption, const QString& text)
{
    return caption.isEmpty() ? text : caption + u": "_s + text;
}

} // namespace

bool StreamPrompts::confirm(const QString& caption, const QString& text, Default)
{
    if (!m_confirmed) {
        warn(caption, text + u"\n"_s + m_unconfirmedHint);
        return false;
    }
    m_out << line(caption, text) << u" — да"_s << Qt::endl;
    return true;
}

void StreamPrompts::inform(const QString& caption, const QString& text)
{
    m_out << line(caption, text) << Qt::endl;
}

void StreamPrompts::warn(const QString& caption, const QString& text)
{
    m_warnings.append(line(caption, text));
    m_err << m_warnings.last() << Qt::endl;
}

int StreamPrompts::choose(const QString& caption, const QString& text, const QStringList& choices)
{
    warn(caption, text + u" (%1) — на этот вопрос команда не отвечает."_s.arg(choices.join(u", "_s)));
    return -1;
}
