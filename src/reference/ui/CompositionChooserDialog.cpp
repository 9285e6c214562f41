#include "CompositionChooserDialog.h"

#include "ContextSearchBar.h"

#include "reference/IngredientCatalog.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/UserPrompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CompositionChooserDialog::CompositionChooserDialog(UserPrompts* prompts, QSqlDatabase db, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_db(db),
      m_groups(new TableModel(db, {QStringLiteral("Gring"), {QStringLiteral("Name")}, QStringLiteral("Kod")},
                              this)),
      m_candidates(new TableModel(db,
                                  {QStringLiteral("Ing"),
                                   {QStringLiteral("Kod")},
                                   QStringLiteral("Kod"),
                                   QString::fromLatin1(IngredientCatalog::candidateFilter)},
                                  this)),
      m_composition(new TableModel(db,
                                   {QStringLiteral("pf"),
                                    {QStringLiteral("Kod")},
                                    QStringLiteral("Kod"),
                                    {},
                                    {{QStringLiteral("Name1"), QStringLiteral("Name"), QStringLiteral("Ing"),
                                      QStringLiteral("Kod1"), QStringLiteral("Name")}}},
                                   this)),
      m_groupGrid(new DataGrid(prompts, this)), m_candidateGrid(new DataGrid(prompts, this)),
      m_compositionGrid(new DataGrid(prompts, this)), m_search(new ContextSearchBar(this)),
      m_heading(new QLabel(QStringLiteral("Список ингредиентов полуфабриката"), this))
{
    setWindowTitle(QStringLiteral("Выбор ингредиентов полуфабриката (ингредиентов без цен в таблице нет)"));
    m_groups->setColumns({{QStringLiteral("Name"), QStringLiteral("Наименование группы")}});
    m_groups->setReadOnly(true);
    m_candidates->setColumns(
        {{QStringLiteral("Name"), QStringLiteral("Наименование (Выбор - двойной щелчёк мышью)")}});
    m_candidates->setReadOnly(true);
    m_candidates->setFilterEnabled(true);
    m_candidates->setMaster(m_groups, QStringLiteral("Kod"));
    m_composition->setColumns(
        {{QStringLiteral("Name1"), QStringLiteral("Наименование"), {}, true},
         {QStringLiteral("Kolvo"), QStringLiteral("Кол-во (гр)"), QStringLiteral("0.00")}});
    m_composition->setInsertAllowed(false);
    for (DataGrid* grid : {m_groupGrid, m_candidateGrid, m_compositionGrid})
        grid->setCtrlDeleteBlocked(true);
    m_compositionGrid->setInsertBlocked(true);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_groupGrid, 0, 0, 4, 1);
    layout->addWidget(m_search, 0, 1);
    layout->addWidget(m_candidateGrid, 1, 1);
    layout->addWidget(m_heading, 2, 1);
    layout->addWidget(m_compositionGrid, 3, 1);
    layout->addWidget(ok, 4, 1, Qt::AlignRight);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 3);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_candidateGrid, &DataGrid::rowChosen, this, &CompositionChooserDialog::choose);
    connect(m_search, &ContextSearchBar::toggled, this, &CompositionChooserDialog::setContextSearch);
    connect(m_search, &ContextSearchBar::searchTyped, this, [this](const QString& text) {
        if (m_candidates->isOpen())
            m_candidates->locateNearest(text);
    });
    resize(900, 560);
}

bool CompositionChooserDialog::openViews(TableModel* products, QString* error)
{
    m_product = products->currentKey();
    m_composition->setMaster(products, QStringLiteral("Kod1"));
    for (TableModel* model : {m_groups, m_candidates, m_composition}) {
        if (!model->open()) {
            *error = model->lastError();
            return false;
        }
    }
    m_groupGrid->setTableModel(m_groups);
    m_candidateGrid->setTableModel(m_candidates);
    m_compositionGrid->setTableModel(m_composition);
    m_heading->setText(QStringLiteral("Ингредиенты полуфабриката \"%1\"")
                           .arg(products->currentValue(QStringLiteral("Name")).toString()));
    return true;
}

void CompositionChooserDialog::choose()
{
    if (!m_compositionGrid->postPending())
        return;
    const QVariant added =
        IngredientCatalog(m_db).chooseComponent(m_product, m_candidates->currentKey(), *m_prompts);
    if (added.isNull())
        return;
    m_composition->refresh();
    m_composition->locateKey(added);
}

void CompositionChooserDialog::setContextSearch(bool on)
{
    if (!m_groups->isOpen())
        return;
    m_groupGrid->postPending();
    if (on) {
        // All priced ingredients by name; the group grid follows the current candidate.
        const QVariant candidate = m_candidates->currentKey();
        m_candidates->setMaster(nullptr, {});
        m_candidates->setOrder({QStringLiteral("Name")});
        m_candidates->setLinkValue({});
        m_candidates->locateKey(candidate);
        m_groups->setMaster(m_candidates, QStringLiteral("Kod"));
        m_groups->setOrder({QStringLiteral("Kod")});
        m_groups->setLinkValue(m_candidates->currentValue(QStringLiteral("Kod")));
    } else {
        const QVariant group = m_groups->currentKey();
        m_groups->setMaster(nullptr, {});
        m_groups->setOrder({QStringLiteral("Name")});
        m_groups->setLinkValue({});
        m_groups->locateKey(group);
        m_candidates->setMaster(m_groups, QStringLiteral("Kod"));
        m_candidates->setOrder({QStringLiteral("Kod")});
        m_candidates->setLinkValue(m_groups->currentValue(QStringLiteral("Kod")));
    }
    m_groupGrid->setEnabled(!on);
}

void CompositionChooserDialog::done(int result)
{
    if (m_groups->isOpen()) {
        m_search->switchOff();
        m_groups->close();
        m_candidates->close();
        m_compositionGrid->postPending();
        QString error;
        if (!IngredientCatalog(m_db).closeChooser(m_product, &error) && !error.isEmpty())
            m_prompts->warn(QStringLiteral("Ошибка"), error);
        m_composition->close();
        m_composition->setMaster(nullptr, {});
    }
    QDialog::done(result);
}
