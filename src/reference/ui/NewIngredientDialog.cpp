#include "NewIngredientDialog.h"

#include "reference/NewIngredientForm.h"
#include "reference/ReferenceViews.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

using namespace Qt::StringLiterals;

NewIngredientDialog::NewIngredientDialog(UserPrompts* prompts, QSqlDatabase db, PriceHistory::Source source,
                                         QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_db(db), m_source(source),
      m_groups(new TableModel(db, referenceviews::ingredientGroups(), this)),
      m_units(new TableModel(db, referenceviews::units(), this)), m_groupGrid(new DataGrid(prompts, this)),
      m_unitGrid(new DataGrid(prompts, this)), m_name(new QLineEdit(this)), m_price(new QLineEdit(this)),
      m_ok(new QPushButton(u"OK"_s, this))
{
    setWindowTitle(u"Добавление нового ингредиента"_s);
    m_ok->setToolTip(u"Внести ингредиент в выбранную группу"_s);
    m_groups->setColumns({{u"Name"_s, u"Выбор группы для нового ингредиента"_s}});
    m_units->setColumns({{u"Name"_s, u"Единица измерения"_s}});
    m_name->setMaxLength(50);
    auto* cancel = new QPushButton(u"Отмена"_s, this);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_groupGrid, 0, 0, 1, 2);
    layout->addWidget(m_unitGrid, 0, 2, 1, 2);
    layout->addWidget(new QLabel(u"Наименование нового ингредиента"_s, this), 1, 0);
    layout->addWidget(m_name, 1, 1, 1, 3);
    layout->addWidget(new QLabel(u"Цена"_s, this), 2, 0);
    layout->addWidget(m_price, 2, 1);
    layout->addWidget(m_ok, 2, 2);
    layout->addWidget(cancel, 2, 3);
    layout->setRowStretch(0, 1);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &NewIngredientDialog::store);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(620, 440);
}

bool NewIngredientDialog::openViews(QString* error)
{
    for (TableModel* model : {m_groups, m_units}) {
        if (!model->open()) {
            *error = model->lastError();
            return false;
        }
    }
    m_groupGrid->setTableModel(m_groups);
    m_unitGrid->setTableModel(m_units);
    return true;
}

void NewIngredientDialog::store()
{
    // A group or unit typed in just now is stored before it is referred to.
    if (!m_groupGrid->postPending() || !m_unitGrid->postPending())
        return;
    const QString separator = QLocale().decimalPoint();
    const NewIngredient input{m_name->text(), m_price->text(), m_groups->currentKey(), m_units->currentKey(),
                              m_source};
    const NewIngredientForm::Result result =
        NewIngredientForm(m_db).add(input, separator.isEmpty() ? QChar(u'.') : separator.front(), *m_prompts);
    if (result.key.isNull()) {
        switch (result.focus) {
        case NewIngredientForm::Field::Name:
            m_name->setFocus();
            break;
        case NewIngredientForm::Field::Price:
            m_price->setFocus();
            m_price->selectAll();
            break;
        case NewIngredientForm::Field::Group:
            m_groupGrid->setFocus();
            break;
        case NewIngredientForm::Field::Unit:
            m_unitGrid->setFocus();
            break;
        case NewIngredientForm::Field::None:
            break;
        }
        return;
    }
    m_added = result.key;
    Q_EMIT added(result.key);
    accept();
}

void NewIngredientDialog::done(int result)
{
    if (result != Accepted)
        m_added = QVariant();
    m_groupGrid->postPending();
    m_unitGrid->postPending();
    m_groups->close();
    m_units->close();
    QDialog::done(result);
}
