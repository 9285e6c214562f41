#include "IngredientChooserDialog.h"

#include "costing/DishCatalog.h"
#include "costing/DishViews.h"
#include "reference/ReferenceViews.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/UserPrompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

TableModel* groupView(QSqlDatabase db, const QString& linkField, QObject* parent)
{
    auto* groups = new TableModel(db, referenceviews::ingredientGroups(linkField), parent);
    groups->setColumns({{u"Name"_s, u"Наименование группы ингредиентов"_s}});
    groups->setReadOnly(true);
    return groups;
}

} // namespace

IngredientChooserDialog::IngredientChooserDialog(QSqlDatabase db, UserPrompts* prompts, QVariant dish,
                                                 const QString& dishName, QWidget* parent)
    : QDialog(parent), m_db(db), m_prompts(prompts), m_dish(std::move(dish)),
      m_groups(groupView(db, QString(), this)), m_candidateGroup(groupView(db, u"Kod"_s, this)),
      m_candidates(new TableModel(db, dishviews::cardCandidates(), this)),
      m_card(new TableModel(db, dishviews::cardLines(), this)), m_groupGrid(new DataGrid(prompts, this)),
      m_candidateGrid(new DataGrid(prompts, this)), m_cardGrid(new DataGrid(prompts, this)),
      m_heading(new QLabel(u"Список ингредиентов <"_s + dishName + u'>', this)),
      m_searchCheck(new QCheckBox(u"Контекстный поиск"_s, this)), m_searchBox(new QLineEdit(this)),
      m_ok(new QPushButton(u"OK"_s, this))
{
    setWindowTitle(u"Выбор ингредиентов блюда (ингредиентов не полуфабрикатов без цен в таблице нет)"_s);
    m_ok->setToolTip(u"Закончить выбор ингредиентов и закрыть окно"_s);
    m_candidates->setColumns({{u"Name"_s, u"Наименование ингредиента (Выбор - двойной щелч1к мышкой)"_s}});
    m_candidates->setReadOnly(true);
    m_candidates->setFilterEnabled(true);
    m_candidates->setMaster(m_groups, u"Kod"_s);
    m_candidateGroup->setMaster(m_candidates, u"Kod"_s);
    m_card->setColumns({{u"Name1"_s, u"Наименование ингредиента"_s, QString(), true},
                        {u"Kolvo"_s, u"Кол-во (гр)"_s, u"0.00"_s}});
    m_card->setInsertAllowed(false);
    m_card->setLinkValue(m_dish);
    for (DataGrid* grid : {m_groupGrid, m_candidateGrid, m_cardGrid}) {
        grid->setCtrlDeleteBlocked(true);
        grid->setInsertBlocked(true);
    }
    m_searchBox->setEnabled(false);
    m_searchBox->setStyleSheet(u"QLineEdit:disabled { background: silver; }"_s);

    auto* layout = new QGridLayout(this);
    auto* search = new QHBoxLayout;
    search->addWidget(m_searchCheck);
    search->addWidget(m_searchBox);
    layout->addLayout(search, 0, 0, 1, 2);
    layout->addWidget(m_groupGrid, 1, 0, 3, 1);
    layout->addWidget(m_candidateGrid, 1, 1);
    layout->addWidget(m_heading, 2, 1);
    layout->addWidget(m_cardGrid, 3, 1);
    layout->addWidget(m_ok, 4, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    resize(900, 560);

    // Enter and Space in the group grid take the candidate current in the candidate grid too.
    connect(m_groupGrid, &DataGrid::rowChosen, this, &IngredientChooserDialog::chooseCurrent);
    connect(m_candidateGrid, &DataGrid::rowChosen, this, &IngredientChooserDialog::chooseCurrent);
    connect(m_searchCheck, &QCheckBox::toggled, this, &IngredientChooserDialog::setContextSearch);
    connect(m_searchBox, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_searchCheck->isChecked())
            m_candidates->locateNearest(text);
    });
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

bool IngredientChooserDialog::openViews()
{
    for (TableModel* model : {m_groups, m_candidates, m_card}) {
        if (!model->open()) {
            m_lastError = model->lastError();
            return false;
        }
    }
    m_groupGrid->setTableModel(m_groups);
    m_candidateGrid->setTableModel(m_candidates);
    m_cardGrid->setTableModel(m_card);
    return true;
}

void IngredientChooserDialog::chooseCurrent()
{
    const QVariant ingredient = m_candidates->currentKey();
    if (ingredient.isNull() || !m_cardGrid->postPending())
        return;
    // The same ingredient may be chosen more than once; the catalogue refuses frozen cards.
    if (const auto line = DishCatalog(m_db, *m_prompts).addCardLine(m_dish, ingredient)) {
        m_card->refresh();
        m_card->locateKey(*line);
    }
}

void IngredientChooserDialog::setContextSearch(bool on)
{
    m_searchBox->setEnabled(on);
    if (on) {
        // All candidates by name; the group grid follows the current candidate.
        m_candidates->setMaster(nullptr, QString());
        m_candidates->setOrder({u"Name"_s});
        m_candidates->setLinkValue({});
        m_candidateGroup->open();
        m_groupGrid->setTableModel(m_candidateGroup);
        m_searchBox->setFocus();
        return;
    }
    m_searchBox->clear();
    const QVariant candidate = m_candidates->currentKey();
    const QVariant group = m_candidates->currentValue(u"Kod"_s);
    m_groupGrid->setTableModel(m_groups);
    m_candidateGroup->close();
    m_groups->locateKey(group);
    m_candidates->setOrder({u"Kod"_s});
    m_candidates->setMaster(m_groups, u"Kod"_s);
    m_candidates->setLinkValue(m_groups->currentValue(u"Kod"_s));
    m_candidates->locateKey(candidate);
}

void IngredientChooserDialog::done(int result)
{
    if (m_searchCheck->isChecked())
        m_searchCheck->setChecked(false);
    m_cardGrid->postPending();
    for (TableModel* model : {m_groups, m_candidates, m_candidateGroup, m_card})
        model->close();
    QDialog::done(result);
}
