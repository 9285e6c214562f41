#include "IngredientAssociationDialog.h"

#include "reference/ReferenceViews.h"
#include "reference/ui/IngredientPickerDialog.h"
#include "reference/ui/NewIngredientDialog.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/UserPrompts.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

IngredientAssociationDialog::IngredientAssociationDialog(UserPrompts* prompts, QSqlDatabase db,
                                                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_prompts(prompts),
      m_db(db), m_ingredients(new TableModel(db, referenceviews::ingredientsByName(), this)),
      m_groups(new TableModel(db, referenceviews::ingredientGroups(), this)),
      m_heading(new QLabel(u"Принимается блюдо"_s, this)), m_offered(new QLineEdit(this)),
      m_chosen(new QLineEdit(this)), m_search(new QLineEdit(this)), m_grid(new DataGrid(prompts, this)),
      m_protocol(new QPlainTextEdit(this)), m_associate(new QPushButton(u"Асоциировать ингредиент"_s, this)),
      m_newIngredient(new QPushButton(u"Ввести новый ингредиент"_s, this)),
      m_searchInGroups(new QPushButton(u"Поиск ингредиента в  группах"_s, this)),
      m_refuse(new QPushButton(u"Отказ от импорта блюда"_s, this))
{
    setWindowTitle(u"Выбор ингредиентов соответствующих ингредиентам в импортируемом блюде"_s);
    m_ingredients->setColumns({{u"Name"_s, u"Наименование ингредиента"_s}});
    m_ingredients->setReadOnly(true);
    m_groups->setColumns({{u"Name"_s, u"Наименование группы ингредиентов"_s}});
    m_groups->setReadOnly(true);
    m_grid->setCtrlDeleteBlocked(true);
    m_grid->setInsertBlocked(true);
    m_offered->setReadOnly(true);
    m_chosen->setReadOnly(true);
    m_protocol->setReadOnly(true);
    m_protocol->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* instructions = new QLabel(
        u"Каждый ингредиент принимаемого блюда предлагается по очереди в поле \"Принимаемый ингредиент\".\n"
        "Выберите соответствующий ему наш ингредиент пробелом или двойным щелчком в списке,\n"
        "либо клавишей Enter в поле поиска по контексту.\n"
        "Если такого ингредиента у нас нет, введите его кнопкой \"Ввести новый ингредиент\".\n"
        "Выбор подтверждается кнопкой \"Асоциировать ингредиент\".\n"
        "Протокол приёма блюда ведётся в окне справа."_s,
        this);
    m_associate->setDefault(true);
    m_associate->setEnabled(false);

    auto* left = new QVBoxLayout;
    left->addWidget(m_heading);
    left->addWidget(instructions);
    left->addWidget(new QLabel(u"Принимаемый ингредиент"_s, this));
    left->addWidget(m_offered);
    left->addWidget(new QLabel(u"Асоциировать с нашим ингредиентом"_s, this));
    left->addWidget(m_chosen);
    left->addWidget(m_grid, 1);
    left->addWidget(new QLabel(u"Поиск по контексту"_s, this));
    left->addWidget(m_search);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(u"Протокол приёма блюда"_s, this));
    right->addWidget(m_protocol, 1);
    for (QPushButton* button : {m_associate, m_newIngredient, m_searchInGroups, m_refuse})
        right->addWidget(button);
    auto* layout = new QGridLayout(this);
    layout->addLayout(left, 0, 0);
    layout->addLayout(right, 0, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    resize(1100, 680);

    m_search->installEventFilter(this);
    connect(m_grid, &DataGrid::rowChosen, this, &IngredientAssociationDialog::chooseCurrent);
    connect(m_search, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_ingredients->locateNearest(text); });
    connect(m_associate, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_refuse, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_newIngredient, &QPushButton::clicked, this, &IngredientAssociationDialog::enterNewIngredient);
    connect(m_searchInGroups, &QPushButton::clicked, this, &IngredientAssociationDialog::searchInGroups);
}

bool IngredientAssociationDialog::openViews(QString* error)
{
    for (TableModel* model : {m_ingredients, m_groups}) {
        if (!model->isOpen() && !model->open()) {
            *error = model->lastError();
            return false;
        }
    }
    m_grid->setTableModel(m_ingredients);
    return true;
}

void IngredientAssociationDialog::closeViews()
{
    m_ingredients->close();
    m_groups->close();
}

void IngredientAssociationDialog::startDish(const QString& dishName)
{
    m_protocol->clear();
    m_heading->setText(u"Принимается блюдо \"\""_s + dishName + u"\"\""_s);
}

void IngredientAssociationDialog::addProtocolLine(const QString& line)
{
    m_protocol->appendPlainText(line);
}

std::optional<qlonglong> IngredientAssociationDialog::associate(const QString& offered, const QString& unit)
{
    m_associate->setEnabled(false);
    m_search->setText(offered);
    m_ingredients->locateNearest(offered);
    m_chosen->clear();
    m_chosenKey.clear();
    m_offered->setText(offered + u"  ("_s + unit + u")"_s);
    m_search->setFocus();
    if (exec() != QDialog::Accepted || m_chosenKey.isNull())
        return std::nullopt;
    return m_chosenKey.toLongLong();
}

void IngredientAssociationDialog::chooseCurrent()
{
    const QVariant key = m_ingredients->currentKey();
    if (key.isNull())
        return;
    m_chosenKey = key;
    m_chosen->setText(m_ingredients->currentValue(u"Name"_s).toString());
    m_associate->setEnabled(true);
    m_associate->setFocus();
}

bool IngredientAssociationDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            chooseCurrent();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void IngredientAssociationDialog::enterNewIngredient()
{
    NewIngredientDialog dialog(m_prompts, m_db, PriceHistory::Source::CardImport, this);
    QString error;
    if (!dialog.openViews(&error)) {
        m_prompts->warn(u"Ошибка"_s, error);
        return;
    }
    QVariant added;
    connect(&dialog, &NewIngredientDialog::added, this, [&added](const QVariant& key) { added = key; });
    dialog.exec();
    m_ingredients->refresh();
    if (!added.isNull())
        m_ingredients->locateKey(added);
}

void IngredientAssociationDialog::searchInGroups()
{
    IngredientPickerDialog dialog(m_prompts, m_db, m_groups, this);
    QString error;
    if (!dialog.openViews(&error)) {
        m_prompts->warn(u"Ошибка"_s, error);
        return;
    }
    dialog.exec();
    dialog.closeViews();
    m_ingredients->refresh();
    if (!dialog.chosenName().isEmpty()) {
        m_search->setText(dialog.chosenName());
        m_ingredients->locateNearest(dialog.chosenName());
    }
    m_search->setFocus();
}
