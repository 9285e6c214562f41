#include "InventoryDialog.h"

#include "GridLook.h"
#include "reports/ui/PrintJobRun.h"
#include "StockChoiceDialog.h"
#include "store/Rounding.h"
#include "store/RowKey.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/Page.h"
#include "warehouse/InventoryActPrintJob.h"
#include "warehouse/InventoryDocuments.h"
#include "warehouse/InventoryFormPrintJob.h"
#include "warehouse/StockViews.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

InventoryDialog::InventoryDialog(QSqlDatabase db, UserPrompts* prompts, DatePrompt* dates, const Clock* clock,
                                 SpreadsheetLauncher& launcher, QWidget* parent)
    : QDialog(parent), m_db(std::move(db)), m_prompts(prompts), m_dates(dates), m_clock(clock),
      m_launcher(launcher), m_documentGrid(new DataGrid(prompts, this)),
      m_lineGrid(new DataGrid(prompts, this)), m_search(new QLineEdit(this)),
      m_choice(new StockChoiceDialog(this))
{
    setWindowTitle(u"Инвентаризация"_s);
    for (DataGrid* grid : {m_documentGrid, m_lineGrid}) {
        grid->setCtrlDeleteBlocked(true);
        grid->setInsertBlocked(true);
    }
    const auto makeButton = [this](const QString& caption, void (InventoryDialog::*slot)()) {
        auto* button = new QPushButton(caption, this);
        m_buttons.append(button);
        if (slot)
            connect(button, &QPushButton::clicked, this, slot);
        return button;
    };
    auto* top = new QHBoxLayout;
    top->addWidget(m_documentGrid, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(makeButton(u"Новый документ"_s, &InventoryDialog::newDocument));
    side->addWidget(makeButton(u"Удалить документ"_s, &InventoryDialog::deleteDocument));
    side->addWidget(makeButton(u"Перенести состояние склада"_s, &InventoryDialog::transfer));
    side->addWidget(makeButton(u"Удалить нулевые"_s, &InventoryDialog::deleteZeroLines));
    side->addWidget(makeButton(u"Провести на склад"_s, &InventoryDialog::post));
    side->addWidget(makeButton(u"Печать акта инвентаризации"_s, &InventoryDialog::printAct));
    for (const auto& [caption, form] : {std::pair{u"Печать ИНВ-3"_s, InventoryForm::List},
                                        std::pair{u"Печать ИНВ-19"_s, InventoryForm::Comparison}}) {
        QPushButton* formButton = makeButton(caption, nullptr);
        connect(formButton, &QPushButton::clicked, this, [this, form] { printForm(form); });
        side->addWidget(formButton);
    }
    side->addStretch();
    auto* close = new QPushButton(u"Закрыть"_s, this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    side->addWidget(close);
    top->addLayout(side);
    auto* searchLabel = new QLabel(u"Поиск по контексту"_s, this);
    searchLabel->setBuddy(m_search);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(searchRow);
    layout->addWidget(m_lineGrid, 3);
    connect(m_search, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_lines && m_lines->isOpen())
            m_lines->locateNearest(text);
    });
    resize(1100, 680);
}

InventoryDialog::~InventoryDialog() = default;

void InventoryDialog::printAct()
{
    printCurrent(u"Печать акта инвентаризации"_s, [](const QSqlDatabase& db, qlonglong inventory) {
        return std::make_unique<InventoryActPrintJob>(db, inventory);
    });
}

void InventoryDialog::printForm(InventoryForm form)
{
    printCurrent(u"Печать "_s + InventoryFormsPrint::title(form, QDate()),
                 [form](const QSqlDatabase& db, qlonglong inventory) {
                     return std::make_unique<InventoryFormPrintJob>(db, inventory, form);
                 });
}

void InventoryDialog::printCurrent(const QString& caption, const JobOf& makeJob)
{
    if (!postAll() || current().isNull())
        return;
    runPrintJob(
        this, caption, m_db,
        [inventory = current().toLongLong(), &makeJob](const QSqlDatabase& db) {
            return makeJob(db, inventory);
        },
        *m_prompts, m_launcher);
}

QPushButton* InventoryDialog::button(const QString& caption) const
{
    for (QPushButton* b : m_buttons) {
        if (b->text() == caption)
            return b;
    }
    return nullptr;
}

void InventoryDialog::createViews()
{
    m_documents = new TableModel(m_db, stockviews::inventories(), this);
    m_documents->setColumns({{u"Date"_s, u"Дата"_s}, {u"Name"_s, u"Наименование документа"_s}});
    m_documents->setRoleProvider([](const TableModel& model, int row, int, int role) -> QVariant {
        if (role == Qt::BackgroundRole && model.number(row, u"Provodka"_s) >= InventoryDocuments::posted)
            return gridlook::silver();
        return {};
    });

    m_lines = new TableModel(m_db, stockviews::inventoryLines(), this);
    m_lines->addCalculated(u"Edinica1"_s, [this](const TableModel& model, int row) -> QVariant {
        const std::optional<qlonglong> unit = rowKey(model.value(row, u"UnitKey"_s));
        return unit ? QVariant(m_units.value(*unit)) : QVariant();
    });
    m_lines->setColumns({{u"Ing22"_s, u"Наименование"_s, QString(), true},
                         {u"Edinica1"_s, u"Ед.изм."_s, QString(), true},
                         {u"Oldkolvo"_s, u"Кол-во по докум."_s, u"0.000"_s, true},
                         {u"OldPrice"_s, u"Цена по докум."_s, u"0.00"_s, true},
                         {u"NewKolvo"_s, u"Факт.кол-во"_s, u"0.000"_s},
                         {u"Newprice"_s, u"Факт.цена"_s, u"0.00"_s}});
    m_lines->setInsertAllowed(false);
    m_lines->setMaster(m_documents, u"Kod"_s);
    m_lines->setRoleProvider([](const TableModel& model, int row, int, int role) -> QVariant {
        const bool negative = rounding::wholeNumber(model.number(row, u"Oldkolvo"_s)) < 0;
        switch (role) {
        case Qt::BackgroundRole:
            return model.isReadOnly() ? QVariant(gridlook::silver()) : QVariant();
        case Qt::ForegroundRole:
            return negative ? QVariant(QColor(Qt::red)) : QVariant();
        case Qt::FontRole:
            return negative || rounding::wholeNumber(model.number(row, u"NewKolvo"_s)) == 0
                       ? QVariant(gridlook::bold())
                       : QVariant();
        default:
            return {};
        }
    });
    connect(m_documents, &TableModel::currentChanged, this, &InventoryDialog::applyState);
    connect(m_documents, &TableModel::posted, this, &InventoryDialog::applyState);
}

bool InventoryDialog::openViews(QString* error)
{
    if (!m_documents)
        createViews();
    m_units = InventoryDocuments(m_db, *m_prompts).unitNames();
    for (TableModel* model : {m_documents, m_lines}) {
        if (!model->open()) {
            *error = model->lastError();
            return false;
        }
    }
    m_documentGrid->setTableModel(m_documents);
    m_lineGrid->setTableModel(m_lines);
    m_documents->last();
    applyState();
    return true;
}

void InventoryDialog::closeViews()
{
    if (!m_documents)
        return;
    postAll();
    m_lines->close();
    m_documents->close();
}

void InventoryDialog::done(int result)
{
    postAll();
    QDialog::done(result);
}

bool InventoryDialog::postAll()
{
    if (!m_documents || !m_documents->isOpen())
        return false;
    return m_lineGrid->postPending() && m_documentGrid->postPending();
}

QVariant InventoryDialog::current() const
{
    return m_documents && m_documents->isOpen() ? m_documents->currentKey() : QVariant();
}

void InventoryDialog::applyState()
{
    if (!m_documents)
        return;
    const bool exists = !current().isNull();
    const double state = exists ? m_documents->currentValue(u"Provodka"_s).toDouble() : 0;
    const bool posted = state >= InventoryDocuments::posted;
    m_lines->setReadOnly(posted);
    button(u"Перенести состояние склада"_s)->setEnabled(!exists || state <= 0);
    button(u"Провести на склад"_s)->setEnabled(exists && !posted);
    button(u"Удалить нулевые"_s)->setEnabled(exists && !posted);
    button(u"Удалить документ"_s)->setEnabled(exists);
    button(u"Печать акта инвентаризации"_s)->setEnabled(exists);
    for (const QString& caption : {u"Печать ИНВ-3"_s, u"Печать ИНВ-19"_s})
        button(caption)->setEnabled(exists);
    m_documentGrid->viewport()->update();
    m_lineGrid->viewport()->update();
}

void InventoryDialog::reload()
{
    m_documents->refresh();
    m_lines->refresh();
    m_lines->first();
    applyState();
}

void InventoryDialog::newDocument()
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

void InventoryDialog::deleteDocument()
{
    if (!postAll() || current().isNull())
        return;
    if (InventoryDocuments(m_db, *m_prompts).remove(current().toLongLong()))
        reload();
}

void InventoryDialog::deleteZeroLines()
{
    if (!postAll() || current().isNull())
        return;
    if (InventoryDocuments(m_db, *m_prompts).deleteZeroLines(current().toLongLong()))
        reload();
}

void InventoryDialog::transfer()
{
    if (m_documents && m_documents->isOpen() && !postAll())
        return;
    const qlonglong document = current().isNull() ? 0 : current().toLongLong();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool done = InventoryDocuments(m_db, *m_prompts).transfer(document, [this] {
        QApplication::restoreOverrideCursor();
        const CountedStart start = m_choice->choose();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return start;
    });
    QApplication::restoreOverrideCursor();
    if (done)
        reload();
}

void InventoryDialog::post()
{
    // Nothing current: nothing to post, and nothing to clear.
    if (!postAll() || current().isNull())
        return;
    if (InventoryDocuments(m_db, *m_prompts).post(current().toLongLong())) {
        Page::report(this, u"Инвентаризация проведена на склад"_s);
        reload();
    }
}
