#include "DirectoriesPage.h"

#include "reference/Directories.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/FieldEdit.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

DirectoriesPage::DirectoriesPage(UserPrompts* prompts, QWidget* parent)
    : Page(parent), m_prompts(prompts), m_unitGrid(new DataGrid(prompts, this)),
      m_signatureGrid(new DataGrid(prompts, this)),
      m_deleteUnit(new QPushButton(QStringLiteral("Удаление единицы измерения"), this)),
      m_deleteSignature(new QPushButton(QStringLiteral("Удалить текущую запись"), this))
{
    // Units are deleted only through the button that checks the ingredients.
    m_unitGrid->setCtrlDeleteBlocked(true);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Единицы измерения"), this), 0, 0);
    layout->addWidget(m_unitGrid, 1, 0, 4, 1);
    layout->addWidget(m_deleteUnit, 5, 0, Qt::AlignLeft);
    layout->addWidget(new QLabel(QStringLiteral("Эти должностные лица будут перечислены в конце \n"
                                                "меню для подписи в порядке указанном в № п/п"),
                                 this),
                      0, 1);
    layout->addWidget(m_signatureGrid, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Должность"), this), 2, 1);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 3);
    layout->setRowStretch(1, 1);
    connect(m_deleteUnit, &QPushButton::clicked, this, &DirectoriesPage::deleteUnit);
    connect(m_deleteSignature, &QPushButton::clicked, this, &DirectoriesPage::deleteSignature);
    setEnabled(false);
}

bool DirectoriesPage::openViews(QSqlDatabase db, QString* error)
{
    if (m_units && m_units->isOpen())
        return true;
    m_db = db;
    if (!m_units) {
        m_units = new TableModel(db, {QStringLiteral("Edinica"), {QStringLiteral("Name")}}, this);
        m_units->setColumns({{QStringLiteral("Name"), QStringLiteral("Наименование")},
                             {QStringLiteral("Shorthame"), QStringLiteral("Сокр.")},
                             {QStringLiteral("Gramm"), QStringLiteral("Грамм")}});
        m_signatures = new TableModel(db, {QStringLiteral("Podpis"), {QStringLiteral("Poradok")}}, this);
        m_signatures->setColumns({{QStringLiteral("Poradok"), QStringLiteral("№ п/п")},
                                  {QStringLiteral("Fam"), QStringLiteral("Фамилия")},
                                  {QStringLiteral("Nam"), QStringLiteral("Имя")},
                                  {QStringLiteral("Ot"), QStringLiteral("Отчество")}});
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
        auto* layout = static_cast<QGridLayout*>(this->layout());
        m_positionBox = new FieldEdit(m_signatures, QStringLiteral("Dol"), this);
        layout->addWidget(m_positionBox, 3, 1);
        layout->addWidget(m_deleteSignature, 4, 1, Qt::AlignLeft);
    }
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
}

void DirectoriesPage::deleteUnit()
{
    if (!m_units || !m_unitGrid->postPending())
        return;
    if (directories::deleteUnit(m_db, m_units->currentKey(), *m_prompts))
        m_units->refresh();
}

void DirectoriesPage::deleteSignature()
{
    if (!m_signatures || !m_signatureGrid->postPending())
        return;
    if (directories::deleteSignature(m_db, m_signatures->currentKey(), *m_prompts))
        m_signatures->refresh();
}
