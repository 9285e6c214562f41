#include "MenuPage.h"

#include "costing/DishCostCalculator.h"
#include "costing/DishViews.h"
#include "costing/SellingPrices.h"
#include "DishChooserDialog.h"
#include "MenuEntryColours.h"
#include "menus/MenuBook.h"
#include "menus/MenuPrintJob.h"
#include "menus/MenuPrintSettings.h"
#include "menus/MenuViews.h"
#include "reports/ui/PrintJobRun.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/FieldEdit.h"
#include "store/ui/WorkerRun.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString releaseCaption = u"Разрешить использование меню"_s;

QLabel* label(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* result = new QLabel(text, parent);
    result->setBuddy(buddy);
    return result;
}

} // namespace

MenuPage::MenuPage(UserPrompts* prompts, QWidget* parent)
    : Page(parent), m_prompts(prompts), m_menuGrid(new DataGrid(prompts, this)),
      m_entryGrid(new DataGrid(prompts, this)), m_groupBox(new QLineEdit(this)),
      m_descriptionHolder(new QWidget(this)), m_step(new QComboBox(this)), m_direction(new QComboBox(this)),
      m_print(new QPushButton(u"Печать текущего меню"_s, this)),
      m_price(new QPushButton(u"Расчёт цен блюд"_s, this)),
      m_choose(new QPushButton(u"Выбор блюд в меню"_s, this)),
      m_removeEntry(new QPushButton(u"Удалить запись из меню"_s, this)),
      m_release(new QPushButton(releaseCaption, this)),
      m_deleteMenu(new QPushButton(u"Удалить меню"_s, this)),
      m_transfer(new QPushButton(u"Передача меню в модуль\n\"Буфетон\""_s, this)),
      m_printDialog(new DatePromptDialog(this))
{
    // Menus come from the date dialog, entries from the chooser; both go only through the buttons.
    m_menuGrid->setCtrlDeleteBlocked(true);
    m_menuGrid->setInsertBlocked(true);
    m_entryGrid->setCtrlDeleteBlocked(true);
    m_entryGrid->setInsertBlocked(true);
    // Insert in the menu list makes a new menu through the date dialog, and so does the list's context
    // menu for the mouse alone; a click on the current price opens its editor (a double click
    // switches the entry).
    auto* newMenu = new QAction(u"Новое меню"_s, m_menuGrid);
    newMenu->setShortcut(Qt::Key_Insert);
    newMenu->setShortcutContext(Qt::WidgetShortcut);
    newMenu->setShortcutVisibleInContextMenu(true); // whatever the desktop's style says
    connect(newMenu, &QAction::triggered, this, &MenuPage::createMenu);
    m_menuGrid->addAction(newMenu);
    m_menuGrid->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_entryGrid->setEditTriggers(m_entryGrid->editTriggers() | QAbstractItemView::SelectedClicked);
    m_entryGrid->installEventFilter(this);
    m_entryGrid->viewport()->installEventFilter(this);
    m_groupBox->setReadOnly(true);
    m_step->addItems(roundingStepLabels());
    m_step->setCurrentIndex(int(defaultRoundingStep));
    m_direction->addItems(roundingDirectionLabels());
    m_direction->setCurrentIndex(int(defaultRoundingDirection));

    auto* layout = new QHBoxLayout(this);
    auto* menuPanel = new QVBoxLayout;
    menuPanel->addWidget(m_menuGrid, 1);
    m_dieSlot = menuPanel;
    layout->addLayout(menuPanel, 3);
    layout->addWidget(buildEntryPanel(), 6);
    layout->addWidget(buildControlPanel(), 2);

    connect(m_print, &QPushButton::clicked, this, &MenuPage::printMenu);
    connect(m_price, &QPushButton::clicked, this, &MenuPage::calculatePrices);
    connect(m_choose, &QPushButton::clicked, this, &MenuPage::chooseDishes);
    connect(m_removeEntry, &QPushButton::clicked, this, &MenuPage::removeEntry);
    connect(m_release, &QPushButton::clicked, this, &MenuPage::releaseMenu);
    connect(m_deleteMenu, &QPushButton::clicked, this, &MenuPage::deleteMenu);
    connect(m_transfer, &QPushButton::clicked, this, [this] {
        if (m_transferMenu && m_menus && postAll())
            m_transferMenu(this, m_db, *m_prompts, m_menus->currentKey());
    });
    setEnabled(false);
}

void MenuPage::placeDie(QWidget* die)
{
    die->setParent(this);
    m_dieSlot->addWidget(die, 0, Qt::AlignLeft);
}

QWidget* MenuPage::buildEntryPanel()
{
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_entryGrid, 1);
    auto* group = new QHBoxLayout;
    group->addWidget(label(u"Группа блюд"_s, m_groupBox, panel));
    group->addWidget(m_groupBox, 1);
    layout->addLayout(group);
    auto* description = new QHBoxLayout(m_descriptionHolder);
    description->setContentsMargins(0, 0, 0, 0);
    description->addWidget(new QLabel(u"Описание блюда в меню"_s, m_descriptionHolder));
    layout->addWidget(m_descriptionHolder);
    layout->addWidget(new QLabel(u"Двойной щелчёк мышкой на выбранном блюде в меню или нажатие\n"
                                 "пробела оперативно включает и выключает блюда в текущем меню"_s,
                                 panel));
    auto* rounding = new QGridLayout;
    rounding->addWidget(label(u"Округление продажной цены блюда"_s, m_step, panel), 0, 0);
    rounding->addWidget(m_step, 1, 0);
    rounding->addWidget(label(u"Округлённая цена"_s, m_direction, panel), 0, 1);
    rounding->addWidget(m_direction, 1, 1);
    rounding->setColumnStretch(2, 1);
    layout->addLayout(rounding);
    return panel;
}

QWidget* MenuPage::buildControlPanel()
{
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* button : {m_print, m_price, m_choose, m_removeEntry, m_release, m_deleteMenu})
        layout->addWidget(button);
    layout->addStretch();
    layout->addWidget(m_transfer);
    return panel;
}

void MenuPage::createViews(QSqlDatabase db)
{
    m_menus = new TableModel(db, menuviews::menus(), this);
    m_menus->setColumns({{u"Name"_s, u"Наименование меню"_s}, {u"Date"_s, u"Дата"_s}});
    m_menus->setInsertAllowed(false);
    // A menu not yet released is drawn in blue bold.
    m_menus->setRoleProvider([](const TableModel& model, int row, int, int role) -> QVariant {
        if (model.value(row, u"Status"_s).toBool())
            return {};
        if (role == Qt::ForegroundRole)
            return QBrush(Qt::blue);
        if (role == Qt::FontRole) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    });

    m_entries = new TableModel(db, menuviews::entries(), this);
    m_entries->setColumns({{u"Name1"_s, u"Наименование блюда"_s, QString(), true},
                           {u"X"_s, u"Доп. характеристика"_s, QString(), true},
                           {u"CenaProd"_s, u"Цена"_s, u"0.00"_s},
                           {u"Cena1"_s, u"Цена расч."_s, u"0.00"_s, true}});
    m_entries->setInsertAllowed(false);
    m_entries->setMaster(m_menus, u"Kod"_s);
    m_entries->setRoleProvider([](const TableModel& model, int row, int, int role) {
        return switchedOffEntryRole(model, row, role);
    });

    m_entryGroup = new TableModel(db, dishviews::dishGroupByKey(), this);
    m_entryGroup->setReadOnly(true);
    m_entryGroup->setMaster(m_entries, u"GrBludo"_s);
    connect(m_entryGroup, &TableModel::currentChanged, this,
            [this] { m_groupBox->setText(m_entryGroup->currentValue(u"Name"_s).toString()); });
    connect(m_menus, &TableModel::currentChanged, this, &MenuPage::applyMenuState);
    connect(m_menus, &TableModel::stateChanged, this, &MenuPage::applyMenuState);
}

bool MenuPage::openViews(QSqlDatabase db, QString* error)
{
    if (m_menus && m_menus->isOpen())
        return true;
    m_db = db;
    if (!m_menus)
        createViews(db);
    for (TableModel* model : {m_menus, m_entries, m_entryGroup}) {
        if (!model->open()) {
            *error = model->lastError();
            return false;
        }
    }
    m_menuGrid->setTableModel(m_menus);
    m_entryGrid->setTableModel(m_entries);
    // The dish name has room for about 47 characters.
    if (!m_description) {
        m_description = new FieldEdit(m_entries, u"Opis"_s, m_descriptionHolder);
        m_description->setMaxLength(60);
        m_descriptionHolder->layout()->addWidget(m_description);
        qobject_cast<QLabel*>(m_descriptionHolder->layout()->itemAt(0)->widget())->setBuddy(m_description);
    }
    m_menus->last(); // the latest menu is the one being worked on
    applyMenuState();
    setEnabled(true);
    return true;
}

void MenuPage::closeViews()
{
    postPending();
    for (TableModel* model : {m_entryGroup, m_entries, m_menus}) {
        if (model)
            model->close();
    }
    setEnabled(false);
}

void MenuPage::postPending()
{
    postAll();
}

bool MenuPage::postAll()
{
    if (!m_menus)
        return false;
    return m_entryGrid->postPending() && m_menuGrid->postPending();
}

void MenuPage::applyMenuState()
{
    const bool released = m_menus && m_menus->currentValue(u"Status"_s).toBool();
    m_removeEntry->setEnabled(!released);
    m_release->setEnabled(!released);
    if (!released)
        m_release->setText(releaseCaption);
}

bool MenuPage::eventFilter(QObject* watched, QEvent* event)
{
    // An open cell editor gets its own keys and clicks, so these reach the grid only outside editing.
    // Space and double click switch an entry on and off, in every column (the price is edited by
    // typing or F2).
    const bool space = watched == m_entryGrid && event->type() == QEvent::KeyPress &&
                       static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
                       static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier;
    const bool doubleClick =
        watched == m_entryGrid->viewport() && event->type() == QEvent::MouseButtonDblClick;
    if (space || doubleClick) {
        if (doubleClick) {
            const QModelIndex index =
                m_entryGrid->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            if (!index.isValid())
                return true;
            m_entries->setCurrentRow(index.row());
        }
        toggleEntry();
        return true;
    }
    return Page::eventFilter(watched, event);
}

void MenuPage::createMenu()
{
    if (!m_menus || !postAll())
        return;
    if (const auto menu = MenuBook(m_db, *m_prompts).createMenu(*m_dates, *m_clock)) {
        refreshViews();
        m_menus->locateKey(*menu);
        // The name is typed next.
        m_menuGrid->setCurrentIndex(m_menus->index(m_menus->currentRow(), 0));
        m_menuGrid->setFocus();
    }
}

void MenuPage::toggleEntry()
{
    if (!m_entries || !postAll())
        return;
    if (MenuBook(m_db, *m_prompts).toggleEntry(m_entries->currentKey()))
        refreshViews();
}

void MenuPage::chooseDishes()
{
    if (!m_menus || !postAll() || m_menus->currentKey().isNull())
        return;
    DishChooserDialog chooser(m_db, m_prompts, m_menus->currentKey(), this);
    if (!chooser.openViews()) {
        m_prompts->warn(u"Ошибка"_s, chooser.lastError());
        return;
    }
    chooser.exec();
    refreshViews();
}

void MenuPage::calculatePrices()
{
    if (!m_menus || !postAll())
        return;
    DishCostRun run;
    const Worker::Outcome outcome =
        runInWorker(this, *m_prompts, u"Расчёт цен блюд"_s, m_db,
                    [&run](const QSqlDatabase& db, Worker&) { run = DishCostCalculator(db).run(); });
    refreshViews();
    // Cancelled or failed (told already), nothing was priced: no selling prices are asked for.
    if (outcome != Worker::Outcome::Finished)
        return;
    if (!run.ok) {
        m_prompts->warn(u"Ошибка"_s, run.message);
        return;
    }
    const QVariant menu = m_menus->currentKey();
    if (menu.isNull())
        return;
    const SellingPricesResult prices =
        askAndApplySellingPrices(m_db, *m_prompts, menu.toLongLong(), RoundingStep(m_step->currentIndex()),
                                 RoundingDirection(m_direction->currentIndex()));
    refreshViews();
    m_entries->first();
    if (!prices.ok)
        m_prompts->warn(u"Ошибка"_s, prices.message);
}

void MenuPage::removeEntry()
{
    if (!m_entries || !postAll())
        return;
    if (MenuBook(m_db, *m_prompts).removeEntry(m_entries->currentKey()))
        refreshViews();
}

void MenuPage::releaseMenu()
{
    if (!m_menus || !postAll())
        return;
    if (MenuBook(m_db, *m_prompts).releaseMenu(m_menus->currentKey()))
        refreshViews();
    applyMenuState();
}

void MenuPage::deleteMenu()
{
    if (!m_menus || !postAll())
        return;
    if (MenuBook(m_db, *m_prompts).deleteMenu(m_menus->currentKey()))
        refreshViews();
}

void MenuPage::printMenu()
{
    if (!m_menus || !postAll())
        return;
    const QVariant menu = m_menus->currentKey();
    if (menu.isNull())
        return;
    const MenuPrintSettings settings(m_dataDir);
    QString error;
    const std::optional<QStringList> texts = settings.load(&error);
    if (!texts) {
        m_prompts->warn(u"Печать текущего меню"_s, error);
        return;
    }
    m_printDialog->setDate(m_clock->today());
    m_printDialog->setPrintTexts(*texts);
    m_printDialog->setPrintOptionsVisible(true);
    m_printDialog->dateEdit()->setFocus();
    if (m_printDialog->exec() != QDialog::Accepted)
        return;
    const MenuPrintOptions options{m_printDialog->date(), m_printDialog->printTexts(),
                                   m_printDialog->underline()};
    if (!settings.save(options.texts, &error)) {
        m_prompts->warn(u"Печать текущего меню"_s, error);
        return;
    }

    runPrintJob(
        this, u"Печать текущего меню"_s, m_db,
        [menu = menu.toLongLong(), &options](const QSqlDatabase& db) {
            return std::make_unique<MenuPrintJob>(db, menu, options);
        },
        *m_prompts, *m_launcher);
    // The print reads the switched-on entries on its own; the page keeps showing every entry.
    refreshViews();
}
