#include "StockMovementDialog.h"

#include "reference/ReferenceViews.h"
#include "store/ui/DateEdit.h"
#include "warehouse/StockViews.h"

#include "DocumentDeletionDialog.h"
#include "GridLook.h"
#include "PartnerChooserDialog.h"
#include "PriceRuleDialog.h"
#include "reference/ui/NewIngredientDialog.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/Page.h"
#include "warehouse/StockDeletion.h"
#include "warehouse/StockDocuments.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

StockMovementDialog::StockMovementDialog(QSqlDatabase db, UserPrompts* prompts, DatePrompt* dates,
                                         const Clock* clock, QWidget* parent)
    : QDialog(parent), m_db(std::move(db)), m_prompts(prompts), m_dates(dates), m_clock(clock),
      m_documentGrid(new DataGrid(prompts, this)), m_ingredientGrid(new DataGrid(prompts, this)),
      m_lineGrid(new DataGrid(prompts, this)), m_partner(new QLineEdit(this)), m_search(new QLineEdit(this)),
      m_jumpDate(new DateEdit(this)), m_partners(new PartnerChooserDialog(m_db, prompts, this)),
      m_priceRule(new PriceRuleDialog(this)), m_deletion(new DocumentDeletionDialog(prompts, this))
{
    setWindowTitle(u"Приход/расход на склад"_s);
    // Records never go from a grid directly; lines come only from the chooser.
    for (DataGrid* grid : {m_documentGrid, m_ingredientGrid, m_lineGrid})
        grid->setCtrlDeleteBlocked(true);
    m_ingredientGrid->setInsertBlocked(true);
    m_lineGrid->setInsertBlocked(true);
    m_documentGrid->setInsertBlocked(true);
    m_partner->setReadOnly(true);
    m_partner->installEventFilter(this);
    m_jumpDate->setCalendarPopup(true);
    m_jumpDate->setDisplayFormat(u"dd.MM.yyyy"_s);

    const auto makeButton = [this](const QString& caption, void (StockMovementDialog::*slot)()) {
        auto* button = new QPushButton(caption, this);
        m_buttons.append(button);
        if (slot)
            connect(button, &QPushButton::clicked, this, slot);
        return button;
    };
    auto* left = new QVBoxLayout;
    left->addWidget(m_documentGrid, 3);
    auto* partnerLabel = new QLabel(u"Партнёр"_s, this);
    partnerLabel->setBuddy(m_partner);
    left->addWidget(partnerLabel);
    left->addWidget(m_partner);
    auto* dateLabel = new QLabel(u"Поиск по дате"_s, this);
    dateLabel->setBuddy(m_jumpDate);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(dateLabel);
    dateRow->addWidget(m_jumpDate, 1);
    left->addLayout(dateRow);
    auto* documentButtons = new QGridLayout;
    documentButtons->addWidget(makeButton(u"Новый документ"_s, &StockMovementDialog::newDocument), 0, 0);
    documentButtons->addWidget(makeButton(u"Удалить документ"_s, &StockMovementDialog::deleteDocuments), 0,
                               1);
    documentButtons->addWidget(makeButton(u"Выбор партнёра"_s, &StockMovementDialog::choosePartner), 1, 0, 1,
                               2);
    left->addLayout(documentButtons);

    auto* right = new QVBoxLayout;
    auto* searchLabel = new QLabel(u"Поиск по контексту"_s, this);
    searchLabel->setBuddy(m_search);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(makeButton(u"Новый ингредиент"_s, &StockMovementDialog::newIngredient));
    right->addLayout(searchRow);
    right->addWidget(m_ingredientGrid, 2);
    right->addWidget(m_lineGrid, 2);
    auto* lineButtons = new QHBoxLayout;
    lineButtons->addWidget(makeButton(u"Удалить ингредиент"_s, &StockMovementDialog::deleteLine));
    lineButtons->addWidget(makeButton(u"Принять на склад"_s, &StockMovementDialog::postReceipt));
    lineButtons->addWidget(makeButton(u"Снять со склада"_s, &StockMovementDialog::postIssue));
    lineButtons->addWidget(makeButton(u"Печать"_s, nullptr));
    lineButtons->addStretch();
    auto* close = new QPushButton(u"Закрыть"_s, this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    lineButtons->addWidget(close);
    right->addLayout(lineButtons);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addLayout(right, 3);
    button(u"Печать"_s)->setEnabled(false);
    button(u"Печать"_s)->setToolTip(u"Печать документа прихода или расхода (пока не действует)"_s);

    connect(m_ingredientGrid, &DataGrid::rowChosen, this, &StockMovementDialog::addLine);
    connect(m_search, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_ingredients && m_ingredients->isOpen())
            m_ingredients->locateNearest(text);
    });
    connect(static_cast<DateEdit*>(m_jumpDate), &DateEdit::refused, this,
            [this](const QString& message) { m_prompts->warn(u"Дата"_s, message); });
    connect(m_jumpDate, &QDateEdit::dateChanged, this, [this](const QDate& date) {
        if (m_documents && m_documents->isOpen() && postAll())
            m_documents->locateNearest(date);
    });
    // The date's calendar from the keyboard: F4 or Alt+Down in the document grid.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_F4), QKeySequence(Qt::ALT | Qt::Key_Down)}) {
        auto* shortcut = new QShortcut(keys, m_documentGrid, nullptr, nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, &StockMovementDialog::changeDate);
    }
    resize(1300, 680);
}

StockMovementDialog::~StockMovementDialog() = default;

QPushButton* StockMovementDialog::button(const QString& caption) const
{
    for (QPushButton* b : m_buttons) {
        if (b->text() == caption)
            return b;
    }
    return nullptr;
}

void StockMovementDialog::createViews()
{
    m_documents = new TableModel(m_db, stockviews::documents(), this);
    m_documents->addCalculated(u"PR"_s, [](const TableModel& model, int row) -> QVariant {
        return StockDocuments::kindText(model.value(row, u"FirstOper"_s));
    });
    m_documents->setColumns(
        {{u"Date"_s, u"Дата"_s}, {u"Nomer"_s, u"Номер"_s}, {u"PR"_s, u"Тип"_s, QString(), true}});
    m_documents->setRoleProvider([](const TableModel& model, int row, int, int role) -> QVariant {
        if (role == Qt::BackgroundRole && model.value(row, u"Provodka"_s).toInt() != 1)
            return gridlook::silver();
        return QVariant();
    });

    m_ingredients = new TableModel(m_db, referenceviews::ingredientsWithUnits(), this);
    m_ingredients->setColumns({{u"Name"_s, u"Наименование"_s}, {u"Edinica1"_s, u"Ед.изм"_s}});
    m_ingredients->setReadOnly(true);
    m_ingredients->setInsertAllowed(false);

    m_lines = new TableModel(m_db, stockviews::documentLines(), this);
    m_lines->setColumns({{u"IngName"_s, u"Натменование"_s, QString(), true},
                         {u"Cena"_s, u"Цена"_s, u"0.00"_s},
                         {u"Kolvo"_s, u"Кол-во"_s, u"0.000"_s}});
    m_lines->setInsertAllowed(false);
    m_lines->setMaster(m_documents, u"Nnn"_s);
    m_lines->setRoleProvider([this](const TableModel&, int, int, int role) -> QVariant {
        if (role == Qt::BackgroundRole && !currentPosted())
            return gridlook::silver();
        return QVariant();
    });
    connect(m_documents, &TableModel::currentChanged, this, &StockMovementDialog::applyState);
    connect(m_documents, &TableModel::posted, this, &StockMovementDialog::applyState);
}

bool StockMovementDialog::openViews(QString* error)
{
    if (!m_documents)
        createViews();
    for (TableModel* model : {m_documents, m_ingredients, m_lines}) {
        if (!model->open()) {
            *error = model->lastError();
            return false;
        }
    }
    m_documentGrid->setTableModel(m_documents);
    m_ingredientGrid->setTableModel(m_ingredients);
    m_lineGrid->setTableModel(m_lines);
    m_jumpDate->setDate(m_clock->today());
    m_documents->last();
    applyState();
    return true;
}

void StockMovementDialog::closeViews()
{
    if (!m_documents)
        return;
    postAll();
    for (TableModel* model : {m_lines, m_ingredients, m_documents})
        model->close();
}

void StockMovementDialog::done(int result)
{
    postAll();
    QDialog::done(result);
}

bool StockMovementDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The partner box acts as the partner grid: a double click or Enter chooses the partner.
    if (watched == m_partner &&
        (event->type() == QEvent::MouseButtonDblClick ||
         (event->type() == QEvent::KeyPress && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                                                static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter)))) {
        choosePartner();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool StockMovementDialog::postAll()
{
    if (!m_documents || !m_documents->isOpen())
        return false;
    return m_lineGrid->postPending() && m_documentGrid->postPending();
}

bool StockMovementDialog::currentPosted() const
{
    return m_documents && m_documents->currentRow() >= 0 &&
           m_documents->currentValue(u"Provodka"_s).toInt() == 1;
}

void StockMovementDialog::applyState()
{
    if (!m_documents)
        return;
    const bool posted = currentPosted();
    const bool exists = m_documents->currentRow() >= 0;
    for (const QString& field : {u"Date"_s, u"Nomer"_s})
        m_documents->setColumnReadOnly(field, posted);
    m_lines->setReadOnly(posted);
    for (const QString& caption : {u"Удалить ингредиент"_s, u"Принять на склад"_s, u"Снять со склада"_s})
        button(caption)->setEnabled(exists && !posted);
    button(u"Выбор партнёра"_s)->setEnabled(exists);
    m_partner->setText(m_documents->currentValue(u"Partner1"_s).toString());
    m_documentGrid->viewport()->update();
    m_lineGrid->viewport()->update();
}

void StockMovementDialog::newDocument()
{
    // The date first: its dialog takes the focus, and a grid left with an untouched new row drops it,
    // which would leave the values to the document current before it (a posted one among them).
    if (!postAll())
        return;
    const std::optional<QDate> date = m_dates->askDate(m_clock->today());
    if (!date || !m_documents->append())
        return;
    if (m_documents->state() != TableModel::State::Insert || !m_documents->setFieldValue(u"Date"_s, *date) ||
        !m_documents->setFieldValue(u"Provodka"_s, 0) || !m_documents->post()) {
        m_documents->cancel();
        return;
    }
    applyState();
    m_documentGrid->setFocus();
}

void StockMovementDialog::changeDate()
{
    if (!m_documents || m_documents->currentRow() < 0)
        return;
    if (currentPosted()) {
        m_prompts->inform(QString(), u"Документ проведён, смена даты невозможна !!!"_s);
        return;
    }
    const QDate stored = QDate::fromString(m_documents->currentValue(u"Date"_s).toString(), Qt::ISODate);
    const std::optional<QDate> date = m_dates->askDate(stored.isValid() ? stored : m_clock->today());
    if (date && (m_documents->state() != TableModel::State::Browse || m_documents->edit()) &&
        m_documents->setFieldValue(u"Date"_s, *date))
        m_documents->post();
    m_documentGrid->setFocus();
}

void StockMovementDialog::choosePartner()
{
    if (!postAll() || m_documents->currentRow() < 0)
        return;
    if (currentPosted()) {
        m_prompts->inform(QString(), u"Документ проведён, смена партнёра невозможна !!!"_s);
        return;
    }
    const std::optional<qlonglong> partner = m_partners->choose();
    if (!partner)
        return;
    if (m_documents->edit() && m_documents->setFieldValue(u"Partner"_s, *partner))
        m_documents->post();
    m_documents->refresh();
    applyState();
}

void StockMovementDialog::addLine()
{
    if (!postAll() || m_documents->currentRow() < 0 || m_ingredients->currentRow() < 0 || currentPosted())
        return;
    const std::optional<qlonglong> line =
        StockDocuments(m_db, *m_prompts)
            .addLine(m_documents->currentKey().toLongLong(), m_ingredients->currentKey().toLongLong());
    if (!line) {
        if (m_documents->currentValue(u"Partner1"_s).toString().isEmpty())
            m_partner->setFocus();
        return;
    }
    m_lines->refresh();
    m_lines->locateKey(*line);
    m_lineGrid->setFocus();
    // The user types the quantity next.
    m_lineGrid->setCurrentIndex(m_lineGrid->model()->index(m_lines->currentRow(), 2));
}

void StockMovementDialog::deleteLine()
{
    if (!postAll() || currentPosted() || m_lines->currentRow() < 0)
        return;
    if (!m_prompts->confirmIrreversible(u"Удаление документа"_s, u"Подтвердите удаление ингредиента !!!"_s))
        return;
    m_lines->deleteCurrent();
}

void StockMovementDialog::refreshAfterPosting()
{
    m_documents->refresh();
    m_lines->refresh();
    applyState();
}

void StockMovementDialog::postReceipt()
{
    if (!postAll() || m_documents->currentRow() < 0 || currentPosted())
        return;
    const std::optional<PriceRule> rule = m_priceRule->choose();
    if (!rule)
        return;
    if (StockDocuments(m_db, *m_prompts).postReceipt(m_documents->currentKey().toLongLong(), *rule))
        Page::report(this, u"Приход принят на склад"_s);
    refreshAfterPosting();
}

void StockMovementDialog::postIssue()
{
    if (!postAll() || m_documents->currentRow() < 0 || currentPosted())
        return;
    if (StockDocuments(m_db, *m_prompts)
            .postIssue(m_documents->currentKey().toLongLong(), StockDocuments::Confirmation::Ask))
        Page::report(this, u"Расход снят со склада"_s);
    refreshAfterPosting();
}

void StockMovementDialog::deleteDocuments()
{
    // With no document at all the button does nothing.
    if (!postAll() || m_documents->isEmpty())
        return;
    const std::optional<DeletionChoice> choice =
        m_deletion->choose(DocumentDeletionDialog::RollBack::Offered, m_clock->today());
    if (!choice)
        return;
    if (StockDeletion(m_db, *m_prompts).remove(*choice, m_documents->currentKey().toLongLong()) < 0)
        return;
    m_documents->refresh();
    m_lines->refresh();
    m_ingredients->refresh();
    applyState();
}

void StockMovementDialog::newIngredient()
{
    if (!postAll())
        return;
    NewIngredientDialog dialog(m_prompts, m_db, PriceHistory::Source::NewIngredient, this);
    QString error;
    if (!dialog.openViews(&error)) {
        m_prompts->warn(u"Ошибка"_s, error);
        return;
    }
    connect(&dialog, &NewIngredientDialog::added, this, [this](const QVariant& key) {
        m_ingredients->refresh();
        m_ingredients->locateKey(key);
    });
    dialog.exec();
}
