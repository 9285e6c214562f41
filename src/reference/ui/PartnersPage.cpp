#include "PartnersPage.h"

#include "store/TableModel.h"
#include "store/UserPrompts.h"
#include "store/ui/DataGrid.h"
#include "store/ui/FieldEdit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

PartnersPage::PartnersPage(UserPrompts* prompts, QWidget* parent)
    : Page(parent), m_prompts(prompts), m_grid(new DataGrid(prompts, this)), m_search(new QLineEdit(this))
{
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("Контекстный поиск -->"), this));
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
        m_partners = new TableModel(db, {QStringLiteral("Partner"), {QStringLiteral("Name")}}, this);
        m_partners->setColumns({{QStringLiteral("Name"), QStringLiteral("Наименование партнёра")}});
        m_grid->setTableModel(m_partners);
        buildEditBoxes();
    }
    return true;
}

void PartnersPage::buildEditBoxes()
{
    auto* layout = new QVBoxLayout(m_editBoxes);
    const QList<QPair<QString, QString>> boxes = {
        {QStringLiteral("Адрес, телефон"), QStringLiteral("Adress")},
        {QStringLiteral("ИНН"), QStringLiteral("Inn")},
        {QStringLiteral("ОКПО"), QStringLiteral("Okpo")},
        {QStringLiteral("ОКОНХ"), QStringLiteral("Okonh")},
        {QStringLiteral("Наименование банка и его местонахождение"), QStringLiteral("Bank")},
        {QStringLiteral("БИК"), QStringLiteral("Bik")},
        {QStringLiteral("Расчётный счёт"), QStringLiteral("Rs")},
        {QStringLiteral("Кор. счёт"), QStringLiteral("Ks")},
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
        m_prompts->warn(QStringLiteral("Ошибка"), m_partners->lastError());
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
