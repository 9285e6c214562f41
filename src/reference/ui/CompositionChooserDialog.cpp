#include "CompositionChooserDialog.h"

#include "ContextSearchBar.h"
#include "reference/ReferenceViews.h"

#include "reference/IngredientCatalog.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/UserPrompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

CompositionChooserDialog::CompositionChooserDialog(UserPrompts* prompts, QSqlDatabase db, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_db(db),
      m_groups(new TableModel(db, referenceviews::ingredientGroups(u"Kod"_s), this)),
      m_candidates(new TableModel(db, referenceviews::compositionCandidates(), this)),
      m_composition(new TableModel(db, referenceviews::composition(), this)),
      m_groupGrid(new DataGrid(prompts, this)), m_candidateGrid(new DataGrid(prompts, this)),
      m_compositionGrid(new DataGrid(prompts, this)), m_search(new ContextSearchBar(this)),
      m_heading(new QLabel(u"Список ингредиентов полуфабриката"_s, this))
{
    setWindowTitle(u"Выбор ингредиентов полуфабриката (ингредиентов без цен в таблице нет)"_s);
    m_groups->setColumns({{u"Name"_s, u"Наименование группы"_s}});
    m_groups->setReadOnly(true);
    m_candidates->setColumns({{u"Name"_s, u"Наименование (Выбор - двойной щелчёк мышью)"_s}});
    m_candidates->setReadOnly(true);
    m_candidates->setFilterEnabled(true);
    m_candidates->setMaster(m_groups, u"Kod"_s);
    m_composition->setColumns(
        {{u"Name1"_s, u"Наименование"_s, {}, true}, {u"Kolvo"_s, u"Кол-во (гр)"_s, u"0.00"_s}});
    m_composition->setInsertAllowed(false);
    for (DataGrid* grid : {m_groupGrid, m_candidateGrid, m_compositionGrid})
        grid->setCtrlDeleteBlocked(true);
    m_compositionGrid->setInsertBlocked(true);

    auto* ok = new QPushButton(u"OK"_s, this);
    ok->setToolTip(u"Закончить выбор составляющих и закрыть окно"_s);
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
    m_composition->setMaster(products, u"Kod1"_s);
    for (TableModel* model : {m_groups, m_candidates, m_composition}) {
        if (!model->open()) {
            *error = model->lastError();
            return false;
        }
    }
    m_groupGrid->setTableModel(m_groups);
    m_candidateGrid->setTableModel(m_candidates);
    m_compositionGrid->setTableModel(m_composition);
    m_heading->setText(
        u"Ингредиенты полуфабриката \"%1\""_s.arg(products->currentValue(u"Name"_s).toString()));
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
        m_candidates->setOrder({u"Name"_s});
        m_candidates->setLinkValue({});
        m_candidates->locateKey(candidate);
        m_groups->setMaster(m_candidates, u"Kod"_s);
        m_groups->setOrder({u"Kod"_s});
        m_groups->setLinkValue(m_candidates->currentValue(u"Kod"_s));
    } else {
        const QVariant group = m_groups->currentKey();
        m_groups->setMaster(nullptr, {});
        m_groups->setOrder({u"Name"_s});
        m_groups->setLinkValue({});
        m_groups->locateKey(group);
        m_candidates->setMaster(m_groups, u"Kod"_s);
        m_candidates->setOrder({u"Kod"_s});
        m_candidates->setLinkValue(m_groups->currentValue(u"Kod"_s));
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
            m_prompts->warn(u"Ошибка"_s, error);
        m_composition->close();
        m_composition->setMaster(nullptr, {});
    }
    QDialog::done(result);
}
