#include "OrganisationTab.h"

#include "reference/OrganisationDetails.h"
#include "store/Database.h"
#include "store/UserPrompts.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

OrganisationTab::OrganisationTab(UserPrompts* prompts, QWidget* parent)
    : QWidget(parent), m_prompts(prompts), m_save(new QPushButton(u"Сохранить"_s, this))
{
    auto* form = new QFormLayout;
    for (const OrganisationDetails::Field& field : OrganisationDetails::fields()) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(field.column));
        // Room for surrounding blanks, which are trimmed; the limit itself is checked on saving.
        edit->setMaxLength(field.limit + 10);
        form->addRow(field.caption, edit);
        connect(edit, &QLineEdit::textEdited, this, [this] { m_typed = true; });
        m_edits << edit;
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_save, 0, Qt::AlignLeft);
    layout->addStretch(1);
    connect(m_save, &QPushButton::clicked, this, &OrganisationTab::save);
}

bool OrganisationTab::load(QSqlDatabase db, QString* error)
{
    m_db = db;
    const std::optional<OrganisationDetails> details = OrganisationDetails::load(db, error);
    if (!details)
        return false;
    const QList<OrganisationDetails::Field>& fields = OrganisationDetails::fields();
    for (int i = 0; i < fields.size(); ++i)
        m_edits[i]->setText((*details).*fields[i].member);
    m_typed = false;
    return true;
}

void OrganisationTab::savePending()
{
    if (!m_typed)
        return;
    m_typed = false;
    save();
}

bool OrganisationTab::save()
{
    if (!m_db.isValid())
        return false;
    OrganisationDetails details;
    const QList<OrganisationDetails::Field>& fields = OrganisationDetails::fields();
    for (int i = 0; i < fields.size(); ++i)
        details.*fields[i].member = m_edits[i]->text();
    if (!details.save(m_db, *m_prompts))
        return false;
    // Shows what was stored: the details trimmed.
    QString error;
    if (!load(m_db, &error))
        m_prompts->warn(u"Ошибка"_s, error);
    return true;
}

QLineEdit* OrganisationTab::edit(const QString& column) const
{
    const QList<OrganisationDetails::Field>& fields = OrganisationDetails::fields();
    for (int i = 0; i < fields.size(); ++i)
        if (QString::fromLatin1(fields[i].column) == column)
            return m_edits[i];
    return nullptr;
}
