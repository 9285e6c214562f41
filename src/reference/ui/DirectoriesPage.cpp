#include "DirectoriesPage.h"

#include "OrganisationTab.h"
#include "reference/Directories.h"
#include "reference/ReferenceViews.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/FieldEdit.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

DirectoriesPage::DirectoriesPage(UserPrompts* prompts, QWidget* parent)
    : Page(parent), m_prompts(prompts), m_tabs(new QTabWidget(this)), m_lists(new QWidget(m_tabs)),
      m_listsLayout(new QGridLayout(m_lists)), m_organisation(new OrganisationTab(prompts, m_tabs)),
      m_unitGrid(new DataGrid(prompts, m_lists)), m_signatureGrid(new DataGrid(prompts, m_lists)),
      m_deleteUnit(new QPushButton(u"Удаление единицы измерения"_s, m_lists)),
      m_deleteSignature(new QPushButton(u"Удалить текущую запись"_s, m_lists))
{
    auto* pageLayout = new QVBoxLayout(this);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(m_tabs);
    m_tabs->addTab(m_lists, u"Единицы и подписи"_s);
    m_tabs->addTab(m_organisation, u"Организация"_s);
    // Units are deleted only through the button that checks the ingredients.
    m_unitGrid->setCtrlDeleteBlocked(true);
    QGridLayout* layout = m_listsLayout;
    layout->addWidget(new QLabel(u"Единицы измерения"_s, m_lists), 0, 0);
    layout->addWidget(m_unitGrid, 1, 0, 4, 1);
    layout->addWidget(m_deleteUnit, 5, 0, Qt::AlignLeft);
    layout->addWidget(new QLabel(u"Эти должностные лица будут перечислены в конце \n"
                                 "меню для подписи в порядке указанном в № п/п"_s,
                                 m_lists),
                      0, 1);
    layout->addWidget(m_signatureGrid, 1, 1);
    layout->addWidget(new QLabel(u"Должность"_s, m_lists), 2, 1);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 3);
    layout->setRowStretch(1, 1);
    connect(m_deleteUnit, &QPushButton::clicked, this, &DirectoriesPage::deleteUnit);
    m_deleteSignature->setToolTip(u"Удалить текущую подпись (в таблице подписей — также Ctrl+Delete)"_s);
    connect(m_deleteSignature, &QPushButton::clicked, this, &DirectoriesPage::deleteSignature);
    setEnabled(false);
}

bool DirectoriesPage::openViews(QSqlDatabase db, QString* error)
{
    if (m_units && m_units->isOpen())
        return true;
    m_db = db;
    if (!m_units) {
        m_units = new TableModel(db, referenceviews::units(), this);
        m_units->setColumns(
            {{u"Name"_s, u"Наименование"_s}, {u"Shorthame"_s, u"Сокр."_s}, {u"Gramm"_s, u"Грамм"_s}});
        m_signatures = new TableModel(db, referenceviews::signatures(), this);
        m_signatures->setColumns({{u"Poradok"_s, u"№ п/п"_s},
                                  {u"Fam"_s, u"Фамилия"_s},
                                  {u"Nam"_s, u"Имя"_s},
                                  {u"Ot"_s, u"Отчество"_s}});
    }
    for (TableModel* model : {m_units, m_signatures}) {
        if (!model->open()) {
            *error = model->lastError();
            return false;
        }
    }
    m_unitGrid->setTableModel(m_units);
    m_unitGrid->markValueWarnings();
    m_signatureGrid->setTableModel(m_signatures);
    if (!m_positionBox) {
        m_positionBox = new FieldEdit(m_signatures, u"Dol"_s, m_lists);
        m_listsLayout->addWidget(m_positionBox, 3, 1);
        m_listsLayout->addWidget(m_deleteSignature, 4, 1, Qt::AlignLeft);
    }
    if (!m_organisation->load(db, error))
        return false;
    setEnabled(true);
    return true;
}

void DirectoriesPage::closeViews()
{
    postPending();
    for (TableModel* model : {m_units, m_signatures}) {
        if (model)
            model->close();
    }
    setEnabled(false);
}

void DirectoriesPage::postPending()
{
    m_unitGrid->postPending();
    m_signatureGrid->postPending();
    m_organisation->savePending();
}

void DirectoriesPage::deleteUnit()
{
    if (!m_units || !m_unitGrid->postPending())
        return;
    if (directories::deleteUnit(m_db, m_units->currentKey(), *m_prompts))
        refreshViews();
}

void DirectoriesPage::deleteSignature()
{
    if (!m_signatures || !m_signatureGrid->postPending())
        return;
    if (directories::deleteSignature(m_db, m_signatures->currentKey(), *m_prompts))
        refreshViews();
}
