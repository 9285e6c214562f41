#include "PartnersPage.h"

#include "reference/ReferenceViews.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/FieldEdit.h"
#include "store/UserPrompts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PartnersPage::PartnersPage(UserPrompts* prompts, QWidget* parent)
    : Page(parent), m_prompts(prompts), m_grid(new DataGrid(prompts, this)), m_search(new QLineEdit(this))
{
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(u"Контекстный поиск -->"_s, this));
    search->addWidget(m_search);
    left->addLayout(search);
    left->addWidget(m_grid);
    layout->addLayout(left, 2);
    m_editBoxes = new QWidget(this);
    layout->addWidget(m_editBoxes, 3);
    connect(m_search, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_partners && m_partners->isOpen())
            m_partners->locateNearest(text);
    });
}

bool PartnersPage::openViews(QSqlDatabase db, QString* error)
{
    Q_UNUSED(error);
    if (!m_partners) {
        m_partners = new TableModel(db, referenceviews::partners(), this);
        m_partners->setColumns({{u"Name"_s, u"Наименование партнёра"_s}});
        m_grid->setTableModel(m_partners);
        buildEditBoxes();
    }
    return true;
}

void PartnersPage::buildEditBoxes()
{
    auto* layout = new QVBoxLayout(m_editBoxes);
    const QList<QPair<QString, QString>> boxes = {
        {u"Адрес, телефон"_s, u"Adress"_s},
        {u"ИНН"_s, u"Inn"_s},
        {u"ОКПО"_s, u"Okpo"_s},
        {u"ОКОНХ"_s, u"Okonh"_s},
        {u"Наименование банка и его местонахождение"_s, u"Bank"_s},
        {u"БИК"_s, u"Bik"_s},
        {u"Расчётный счёт"_s, u"Rs"_s},
        {u"Кор. счёт"_s, u"Ks"_s},
    };
    for (const auto& [label, field] : boxes) {
        layout->addWidget(new QLabel(label, m_editBoxes));
        auto* edit = new FieldEdit(m_partners, field, m_editBoxes);
        edit->setObjectName(field);
        layout->addWidget(edit);
    }
    layout->addStretch();
}

void PartnersPage::pageShown()
{
    if (m_partners && !m_partners->open())
        m_prompts->warn(u"Ошибка"_s, m_partners->lastError());
}

void PartnersPage::pageHidden()
{
    if (!m_partners)
        return;
    postPending();
    m_partners->close();
}

void PartnersPage::postPending()
{
    m_grid->postPending();
}
