#include "ScriptedPrompts.h"

#include "store/Database.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A window shown while a transaction is open holds the rows it locked for as long as the user reads
// it, and the other workstations wait for them: every test that answers a prompt checks it.
void checkNoTransaction(const QString& entry)
{
    if (Transaction::openOnThisThread() > 0)
        QTest::qFail(qPrintable(u"Asked \"%1\" while a transaction is open"_s.arg(entry)), __FILE__,
                     __LINE__);
}

} // namespace

bool ScriptedPrompts::confirm(const QString& caption, const QString& text, Default byDefault)
{
    const QString entry = caption + u'|' + text;
    checkNoTransaction(entry);
    shown << entry;
    questions << entry;
    if (byDefault == Default::Cancel)
        irreversible << entry;
    return m_answers.isEmpty() ? true : m_answers.takeFirst();
}

void ScriptedPrompts::inform(const QString& caption, const QString& text)
{
    checkNoTransaction(caption + u'|' + text);
    shown << caption + u'|' + text;
}

int ScriptedPrompts::choose(const QString& caption, const QString& text, const QStringList& choices)
{
    const QString entry = caption + u'|' + text + u'|' + choices.join(u'/');
    checkNoTransaction(entry);
    shown << entry;
    questions << entry;
    return m_choices.isEmpty() ? -1 : m_choices.takeFirst();
}

void ScriptedPrompts::warn(const QString& caption, const QString& text)
{
    checkNoTransaction(caption + u'|' + text);
    shown << caption + u'|' + text;
}

std::optional<QDate> ScriptedDatePrompt::askDate(const QDate& initial)
{
    checkNoTransaction(u"Дата|"_s + initial.toString(Qt::ISODate));
    offered << initial;
    return m_answers.isEmpty() ? std::optional<QDate>(initial) : m_answers.takeFirst();
}
