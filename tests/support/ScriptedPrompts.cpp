#include "ScriptedPrompts.h"

bool ScriptedPrompts::confirm(const QString& caption, const QString& text, Default byDefault)
{
    const QString entry = caption + u'|' + text;
    shown << entry;
    questions << entry;
    if (byDefault == Default::Cancel)
        irreversible << entry;
    return m_answers.isEmpty() ? true : m_answers.takeFirst();
}

void ScriptedPrompts::inform(const QString& caption, const QString& text)
{
    shown << caption + u'|' + text;
}

int ScriptedPrompts::choose(const QString& caption, const QString& text, const QStringList& choices)
{
    const QString entry = caption + u'|' + text + u'|' + choices.join(u'/');
    shown << entry;
    questions << entry;
    return m_choices.isEmpty() ? -1 : m_choices.takeFirst();
}

void ScriptedPrompts::warn(const QString& caption, const QString& text)
{
    shown << caption + u'|' + text;
}

std::optional<QDate> ScriptedDatePrompt::askDate(const QDate& initial)
{
    offered << initial;
    return m_answers.isEmpty() ? std::optional<QDate>(initial) : m_answers.takeFirst();
}
