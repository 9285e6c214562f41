#include "SalesPage.h"

#include "LineSearchDialog.h"
#include "MenuChoiceDialog.h"
#include "reports/ui/PrintJobRun.h"
#include "sales/SalesDocumentPrintJob.h"
#include "sales/SalesDocuments.h"
#include "sales/SalesFlags.h"
#include "sales/SalesPosting.h"
#include "sales/SalesSummaryPrintJob.h"
#include "sales/SalesViews.h"
#include "SalesPrintChoiceDialog.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/DatePromptDialog.h"
#include "store/ui/WorkerRun.h"
#include "SummaryPeriodDialog.h"
#include "warehouse/ui/DocumentDeletionDialog.h"
#include "warehouse/ui/PartnerChooserDialog.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QColor silver(192, 192, 192);
constexpr int dateColumn = 0;
constexpr int quantityColumn = 2;

// The date column's ellipsis button, drawn in the current row while the document is open.
class EllipsisDelegate : public QStyledItemDelegate
{
public:
    EllipsisDelegate(std::function<bool(int row)> shown, std::function<void()> pressed, QObject* parent)
        : QStyledItemDelegate(parent), m_shown(std::move(shown)), m_pressed(std::move(pressed))
    {
    }

    static QRect buttonRect(const QRect& cell)
    {
        return {cell.right() - 17, cell.top() + 1, 17, cell.height() - 2};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (!m_shown(index.row()))
            return;
        const QRect button = buttonRect(option.rect);
        painter->save();
        painter->fillRect(button, option.palette.button());
        painter->setPen(option.palette.color(QPalette::ButtonText));
        painter->drawRect(button.adjusted(0, 0, -1, -1));
        painter->drawText(button, Qt::AlignCenter, u"…"_s);
        painter->restore();
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override
    {
        if (event->type() == QEvent::MouseButtonRelease && m_shown(index.row()) &&
            buttonRect(option.rect).contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            m_pressed();
            return true;
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

private:
    std::function<bool(int)> m_shown;
    std::function<void()> m_pressed;
};

QFont boldFont()
{
    QFont font;
    font.setBold(true);
    return font;
}

} // namespace

SalesPage::SalesPage(UserPrompts* prompts, DatePrompt* dates, QWidget* parent)
    : Page(parent), m_prompts(prompts), m_ownDates(dates ? nullptr : new DialogDatePrompt(this)),
      m_dates(dates ? dates : m_ownDates.get()), m_documentGrid(new DataGrid(prompts, this)),
      m_lineGrid(new DataGrid(prompts, this)), m_new(new QPushButton(u"Новый документ"_s, this)),
      m_jumpDate(new QDateEdit(this)), m_choose(new QPushButton(u"Выбрать"_s, this)),
      m_fill(new QPushButton(u"Список блюд из меню"_s, this)), m_summary(new QPushButton(u"Свод"_s, this)),
      m_post(new QPushButton(u"Проводка"_s, this)),
      m_postPeriod(new QPushButton(u"Проводка\nза период"_s, this)),
      m_delete(new QPushButton(u"Удаление документа"_s, this)), m_print(new QPushButton(u"Печать"_s, this)),
      m_search(new QPushButton(u"Поиск по контексту"_s, this)), m_busy(new QProgressBar(this)),
      m_datePopup(new QCalendarWidget(this)), m_printChoice(new SalesPrintChoiceDialog(this)),
      m_summaryPeriod(new SummaryPeriodDialog(this)), m_postingPeriod(new SummaryPeriodDialog(this))
{
    // Lines come only from the menu; nothing is deleted from the keyboard in either grid.
    m_documentGrid->setCtrlDeleteBlocked(true);
    m_lineGrid->setCtrlDeleteBlocked(true);
    m_lineGrid->setInsertBlocked(true);
    m_choose->setToolTip(u"Выбрать меню для текущего документа"_s);
    m_summary->setToolTip(u"Сводный отчёт по документам реализации за период"_s);
    m_postPeriod->setToolTip(u"Провести все открытые документы реализации за период"_s);
    m_postingPeriod->setWindowTitle(u"Проводка за период"_s);
    m_print->setToolTip(u"Печать текущего документа: таблицы блюд и расхода или перекрёстная таблица"_s);
    m_jumpDate->setCalendarPopup(true);
    m_jumpDate->setDisplayFormat(u"dd.MM.yyyy"_s);
    // Today, not the editor's year 2000: the day a cook most often looks for.
    m_jumpDate->setDate(m_clock->today());
    m_busy->setRange(0, 0); // a busy indicator, not a measure
    m_busy->setVisible(false);
    m_datePopup->setWindowFlags(Qt::Popup);
    m_datePopup->hide();

    auto* side = new QVBoxLayout;
    side->addWidget(m_new);
    auto* dateLabel = new QLabel(u"Дата документа"_s, this);
    dateLabel->setBuddy(m_jumpDate);
    side->addWidget(dateLabel);
    side->addWidget(m_jumpDate);
    side->addWidget(new QLabel(u"Выбор меню\nдля документа"_s, this));
    side->addWidget(m_choose);
    auto* receive = new QPushButton(u"Приём из\n\"Буфетон\""_s, this);
    receive->setObjectName(u"receiveSales"_s);
    side->addWidget(receive);
    side->addWidget(m_postPeriod);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_documentGrid, 1);
    top->addLayout(side);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_fill, m_summary, m_post, m_delete, m_print, m_search})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(m_busy);
    m_dieSlot = buttons;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 2);
    layout->addWidget(m_lineGrid, 3);
    layout->addLayout(buttons);

    m_documentGrid->setItemDelegateForColumn(
        dateColumn,
        new EllipsisDelegate(
            [this](int row) { return m_documents && row == m_documents->currentRow() && documentIsOpen(); },
            [this] { openDatePopup(); }, this));
    // The ellipsis from the keyboard: F4 or Alt+Down in the document grid.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_F4), QKeySequence(Qt::ALT | Qt::Key_Down)}) {
        auto* shortcut = new QShortcut(keys, m_documentGrid, nullptr, nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, &SalesPage::openDatePopup);
    }
    connect(m_datePopup, &QCalendarWidget::clicked, this, &SalesPage::acceptDocumentDate);
    connect(m_datePopup, &QCalendarWidget::activated, this, &SalesPage::acceptDocumentDate);
    connect(m_new, &QPushButton::clicked, this, &SalesPage::newDocument);
    connect(m_jumpDate, &QDateEdit::dateChanged, this, &SalesPage::jumpToDate);
    connect(m_choose, &QPushButton::clicked, this, &SalesPage::chooseMenu);
    connect(m_fill, &QPushButton::clicked, this, &SalesPage::fillFromMenu);
    connect(m_search, &QPushButton::clicked, this, &SalesPage::searchLines);
    connect(m_print, &QPushButton::clicked, this, &SalesPage::printDocument);
    connect(m_summary, &QPushButton::clicked, this, &SalesPage::printSummary);
    connect(m_post, &QPushButton::clicked, this, &SalesPage::postDocument);
    connect(m_postPeriod, &QPushButton::clicked, this, &SalesPage::postPeriod);
    connect(m_delete, &QPushButton::clicked, this, &SalesPage::deleteDocuments);
    connect(receive, &QPushButton::clicked, this, [this] {
        if (!m_receiveSales || !postAll())
            return;
        if (const std::optional<qlonglong> document = m_receiveSales(this, m_db, *m_prompts)) {
            report(this, u"Реализация принята в новый документ"_s);
            refreshViews();
            m_documents->locateKey(*document);
        }
    });
    setEnabled(false);
}

SalesPage::~SalesPage() = default;

void SalesPage::placeDie(QWidget* die)
{
    die->setParent(this);
    m_dieSlot->addWidget(die);
}

void SalesPage::createViews(QSqlDatabase db)
{
    m_documents = new TableModel(db, salesviews::documents(), this);
    m_documents->setColumns({{u"DateR"_s, u"Дата док."_s},
                             {u"NameR"_s, u"Наименование документа"_s},
                             {u"Menu"_s, u"Используемое меню"_s, QString(), true},
                             {u"DateMenu"_s, u"Дата меню"_s}});
    // Every new document starts open, whoever makes it: an empty status would count as posted.
    m_documents->addPostCheck([](TableModel& documents, QString*) {
        if (documents.state() == TableModel::State::Insert && documents.currentValue(u"Status"_s).isNull())
            return documents.setFieldValue(u"Status"_s, SalesDocuments::openStatus);
        return true;
    });
    m_documents->setRoleProvider([this](const TableModel& model, int row, int, int role) -> QVariant {
        // Asked for every role of every cell at each repaint: the three it answers only.
        if (role != Qt::BackgroundRole && role != Qt::ForegroundRole && role != Qt::FontRole)
            return {};
        const QVariant status = model.value(row, u"Status"_s);
        const bool posted = !status.isNull() && status.toDouble() == SalesDocuments::postedStatus;
        const QDate date = QDate::fromString(model.value(row, u"DateR"_s).toString(), Qt::ISODate);
        const bool past = !posted && date.isValid() && m_clock->today() > date;
        if (role == Qt::BackgroundRole && posted)
            return silver;
        if (role == Qt::ForegroundRole && (posted || past))
            return QColor(posted ? Qt::red : Qt::blue);
        if (role == Qt::FontRole && (posted || past))
            return boldFont();
        return {};
    });

    m_lines = new TableModel(db, salesviews::lines(), this);
    m_lines->addCalculated(u"Summa"_s, [](const TableModel& model, int row) -> QVariant {
        return SalesDocuments::lineSum(model.value(row, u"Kolvo"_s), model.value(row, u"Cumma"_s));
    });
    m_lines->setColumns({{u"GrBludo"_s, u"Группа блюд"_s, QString(), true},
                         {u"Bludo"_s, u"Наименование блюда"_s, QString(), true},
                         {u"Kolvo"_s, u"Количество"_s},
                         {u"Cumma"_s, u"Цена порции"_s, u"0.00"_s, true},
                         {u"Summa"_s, u"Сумма"_s, u"0.00"_s, true}});
    m_lines->setInsertAllowed(false);
    m_lines->setMaster(m_documents, u"Kod"_s);
    m_lines->setRoleProvider([](const TableModel& model, int, int, int role) -> QVariant {
        return role == Qt::BackgroundRole && model.isReadOnly() ? QVariant(silver) : QVariant();
    });

    connect(m_documents, &TableModel::currentChanged, this, &SalesPage::applyDocumentState);
    connect(m_documents, &TableModel::posted, this, &SalesPage::applyDocumentState);
    // A line the grid started by itself is dropped; the program's own bulk inserts are not.
    connect(m_lines, &TableModel::currentChanged, this, [this] {
        if (m_lines->state() == TableModel::State::Insert && !salesflags::bulkFill())
            m_lines->cancel();
    });
}

bool SalesPage::openViews(QSqlDatabase db, QString* /*error*/)
{
    m_db = db;
    if (!m_documents)
        createViews(db);
    return true;
}

void SalesPage::pageShown()
{
    if (!m_documents || m_documents->isOpen())
        return;
    // The filter of lines with portions is for printing and posting; here every line shows.
    m_lines->setFilterEnabled(false);
    for (TableModel* model : {m_documents, m_lines}) {
        if (!model->open()) {
            m_prompts->warn(u"Ошибка"_s, model->lastError());
            return;
        }
    }
    m_documentGrid->setTableModel(m_documents);
    m_lineGrid->setTableModel(m_lines);
    m_lineGrid->setStretchColumn(1); // the dish's name, not its group
    // Room for the date's ellipsis button.
    m_documentGrid->setExtraWidth(dateColumn, 24);
    m_documents->last();
    applyDocumentState();
    setEnabled(true);
}

void SalesPage::pageHidden()
{
    closeViews();
}

void SalesPage::closeViews()
{
    postPending();
    m_datePopup->hide();
    for (TableModel* model : {m_lines, m_documents}) {
        if (model)
            model->close();
    }
    setEnabled(false);
}

void SalesPage::postPending()
{
    postAll();
}

bool SalesPage::postAll()
{
    if (!m_documents || !m_documents->isOpen())
        return false;
    return m_lineGrid->postPending() && m_documentGrid->postPending();
}

QVariant SalesPage::currentDocument() const
{
    return m_documents && m_documents->isOpen() ? m_documents->currentKey() : QVariant();
}

bool SalesPage::documentIsOpen() const
{
    return !currentDocument().isNull() && SalesDocuments::isOpen(m_documents->currentValue(u"Status"_s));
}

void SalesPage::applyDocumentState()
{
    if (!m_documents)
        return;
    const bool open = documentIsOpen();
    m_lines->setReadOnly(!open);
    for (const QString& field : {u"DateR"_s, u"NameR"_s, u"Menu"_s})
        m_documents->setColumnReadOnly(field, !open);
    m_choose->setEnabled(open);
    m_fill->setEnabled(open);
    m_post->setEnabled(open);
    m_search->setEnabled(!currentDocument().isNull());
    m_print->setEnabled(!currentDocument().isNull());
    m_documentGrid->viewport()->update();
    m_lineGrid->viewport()->update();
}

void SalesPage::newDocument()
{
    if (!postAll())
        return;
    // Whoever makes a document without the user fills and posts it; no date is asked then.
    if (salesflags::automaticCreation()) {
        if (m_documents->append())
            salesflags::takeAutomaticCreation();
        return;
    }
    // The date first: its dialog takes the focus, and a grid left with an untouched new row drops it,
    // which would leave the date to the document current before it.
    const std::optional<QDate> date = m_dates->askDate(m_clock->today());
    if (!date || !m_documents->append())
        return;
    if (m_documents->state() != TableModel::State::Insert || !m_documents->setFieldValue(u"DateR"_s, *date) ||
        !m_documents->post()) {
        m_documents->cancel();
        return;
    }
    applyDocumentState();
    m_documentGrid->setFocus();
}

void SalesPage::jumpToDate(const QDate& date)
{
    if (m_documents && m_documents->isOpen() && postAll())
        m_documents->locateNearest(date);
}

void SalesPage::openDatePopup()
{
    if (!documentIsOpen())
        return;
    const QModelIndex cell = m_documentGrid->model()->index(m_documents->currentRow(), dateColumn);
    const QRect rect = m_documentGrid->visualRect(cell);
    const QDate stored = QDate::fromString(m_documents->currentValue(u"DateR"_s).toString(), Qt::ISODate);
    m_datePopup->setSelectedDate(stored.isValid() ? stored : m_clock->today());
    // Below the cell where there is room, else above it; never past the screen's edges.
    m_datePopup->adjustSize();
    const QSize size = m_datePopup->sizeHint().expandedTo(m_datePopup->size());
    const QPoint below = m_documentGrid->viewport()->mapToGlobal(rect.bottomLeft());
    const QPoint above = m_documentGrid->viewport()->mapToGlobal(rect.topLeft()) - QPoint(0, size.height());
    QPoint at = below;
    if (const QScreen* screen = m_documentGrid->screen()) {
        const QRect available = screen->availableGeometry();
        if (at.y() + size.height() > available.bottom() + 1 && above.y() >= available.top())
            at = above;
        at.setX(std::clamp(at.x(), available.left(),
                           std::max(available.left(), available.right() + 1 - size.width())));
        at.setY(std::clamp(at.y(), available.top(),
                           std::max(available.top(), available.bottom() + 1 - size.height())));
    }
    m_datePopup->move(at);
    m_datePopup->show();
    m_datePopup->setFocus();
}

void SalesPage::acceptDocumentDate(const QDate& date)
{
    m_datePopup->hide();
    if (!documentIsOpen())
        return;
    if ((m_documents->state() != TableModel::State::Browse || m_documents->edit()) &&
        m_documents->setFieldValue(u"DateR"_s, date))
        m_documents->post();
    m_documentGrid->setFocus();
}

void SalesPage::chooseMenu()
{
    if (!postAll() || currentDocument().isNull())
        return;
    const qlonglong document = currentDocument().toLongLong();
    SalesDocuments documents(m_db, *m_prompts);
    if (!documents.mayChangeMenu(document))
        return;
    MenuChoiceDialog chooser(m_db, m_prompts, this);
    const QVariant menu = chooser.choose(m_documents->currentValue(u"Nnn"_s));
    if (!chooser.lastError().isEmpty()) {
        m_prompts->warn(u"Ошибка"_s, chooser.lastError());
        return;
    }
    if (menu.isNull())
        return;
    documents.useMenu(document, menu.toLongLong());
    // The document keeps its key, so its lines are re-read explicitly.
    refreshViews();
    m_lines->first();
}

void SalesPage::fillFromMenu()
{
    if (!postAll() || currentDocument().isNull())
        return;
    if (SalesDocuments(m_db, *m_prompts).fillFromMenu(currentDocument().toLongLong())) {
        refreshViews();
        m_lines->first();
    }
}

void SalesPage::searchLines()
{
    if (!postAll() || currentDocument().isNull())
        return;
    LineSearchDialog dialog(SalesDocuments(m_db, *m_prompts), currentDocument().toLongLong(), this);
    dialog.exec();
    // No line taken (nothing matched): the walk through the lines ends on the last one.
    if (!m_lines->locateKey(dialog.chosenLine()))
        m_lines->last();
    m_lineGrid->setFocus();
    if (m_lines->currentRow() >= 0)
        m_lineGrid->setCurrentIndex(m_lineGrid->model()->index(m_lines->currentRow(), quantityColumn));
}

bool SalesPage::calculateConsumption(SalesLines lines)
{
    if (!postAll() || currentDocument().isNull())
        return false;
    m_busy->setVisible(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const ConsumptionRun run = ConsumptionCalculator(m_db).run(currentDocument().toLongLong(), lines);
    QApplication::restoreOverrideCursor();
    m_busy->setVisible(false);
    if (!run.ok) {
        m_prompts->warn(run.caption, run.message);
        return false;
    }
    if (!run.notice().isEmpty())
        m_prompts->inform(u"Расчёт реализации"_s, run.notice());
    return true;
}

void SalesPage::printDocument()
{
    if (!postAll() || currentDocument().isNull())
        return;
    if (m_printChoice->exec() != QDialog::Accepted)
        return;
    const bool cross = m_printChoice->crossTable();
    const auto layout =
        cross ? SalesDocumentPrintJob::Layout::CrossTable : SalesDocumentPrintJob::Layout::Tables;
    runPrintJob(
        this, cross ? u"Печать перекрёстной таблицы"_s : u"Печать таблиц"_s, m_db,
        [document = currentDocument().toLongLong(), layout](const QSqlDatabase& db) {
            return std::make_unique<SalesDocumentPrintJob>(db, document, layout);
        },
        *m_prompts, *m_launcher);
}

void SalesPage::printSummary()
{
    if (!m_documents || !postAll())
        return;
    m_summaryPeriod->setDates(m_clock->today());
    if (m_summaryPeriod->exec() != QDialog::Accepted)
        return;
    runPrintJob(
        this, u"Свод"_s, m_db,
        [start = m_summaryPeriod->start(), end = m_summaryPeriod->end()](const QSqlDatabase& db) {
            return std::make_unique<SalesSummaryPrintJob>(db, start, end);
        },
        *m_prompts, *m_launcher);
}

void SalesPage::postDocument()
{
    if (!postAll() || !documentIsOpen())
        return;
    PartnerChooserDialog chooser(m_db, m_prompts, this);
    const std::optional<qlonglong> partner = chooser.choose();
    if (!partner)
        return;
    m_busy->setVisible(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (SalesPosting(m_db, *m_prompts).post(currentDocument().toLongLong(), *partner))
        report(this, u"Документ реализации проведён, расход списан со склада"_s);
    QApplication::restoreOverrideCursor();
    m_busy->setVisible(false);
    // The zero lines are gone and the document is posted (or, refused, all is as it was).
    refreshViews();
    m_lines->first();
    applyDocumentState();
}

void SalesPage::postPeriod()
{
    if (!m_documents || !postAll())
        return;
    m_postingPeriod->setDates(m_clock->today());
    if (m_postingPeriod->exec() != QDialog::Accepted)
        return;
    PartnerChooserDialog chooser(m_db, m_prompts, this);
    const std::optional<qlonglong> partner = chooser.choose();
    if (!partner)
        return;
    PeriodPosting run;
    const Worker::Outcome outcome =
        runInWorker(this, *m_prompts, u"Проводка за период"_s, m_db,
                    [&run, partner, start = m_postingPeriod->start(),
                     end = m_postingPeriod->end()](const QSqlDatabase& db, Worker& worker) {
                        run = SalesPosting(db, worker.prompts())
                                  .postPeriod(start, end, *partner, [&worker](int n, int total) {
                                      worker.report(u"Документы реализации"_s, n, total);
                                      return !worker.cancelRequested();
                                  });
                    });
    refreshViews();
    applyDocumentState();
    if (outcome != Worker::Outcome::Finished || run.cancelled)
        return;
    if (!run.ok) {
        if (run.failedKey != 0)
            m_prompts->warn(u"Проводка за период"_s,
                            u"Документ \"%1\" от %2 не проведён. Проведено документов: %3 из %4."_s
                                .arg(run.failedName, run.failedDate.toString(u"dd.MM.yyyy"_s))
                                .arg(run.posted)
                                .arg(run.open));
        return;
    }
    report(
        this,
        u"Проведено документов реализации: %1, уже проведённых: %2"_s.arg(run.posted).arg(run.alreadyPosted));
}

void SalesPage::deleteDocuments()
{
    if (!postAll())
        return;
    if (!m_deletion)
        m_deletion = new DocumentDeletionDialog(m_prompts, this);
    const std::optional<DeletionChoice> choice =
        m_deletion->choose(DocumentDeletionDialog::RollBack::Hidden, m_clock->today());
    if (!choice || SalesPosting(m_db, *m_prompts).remove(*choice, currentDocument()) < 0)
        return;
    refreshViews();
    applyDocumentState();
}
