#include "AnalysisPage.h"

#include "analysis/AnalysisPrintJob.h"
#include "AnalysisChart.h"
#include "reports/ui/PrintJobRun.h"
#include "store/ui/DateEdit.h"
#include "store/ui/FileDialogPrompt.h"
#include "store/ui/WorkerRun.h"
#include "store/WholeFile.h"

#include <QAction>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString caption = u"Анализ"_s;

// Fills a chooser with the rows, keeping the key chosen when it is still there.
void fillChooser(QComboBox* chooser, const std::vector<NamedKey>& rows)
{
    const QVariant chosen = chooser->currentData();
    chooser->clear();
    for (const NamedKey& row : rows)
        chooser->addItem(row.name, row.key);
    const int index = chooser->findData(chosen);
    chooser->setCurrentIndex(index >= 0 ? index : 0);
}

bool select(QComboBox* chooser, qlonglong key)
{
    const int index = chooser->findData(key);
    if (index >= 0)
        chooser->setCurrentIndex(index);
    return index >= 0;
}

QTableWidgetItem* tableItem(const QVariant& value, const QString& format)
{
    auto* item = new QTableWidgetItem;
    if (value.typeId() == QMetaType::Double) {
        item->setText(QLocale().toString(value.toDouble(), 'f', AnalysisTable::decimals(format)));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    } else {
        item->setText(value.toString());
        item->setToolTip(value.toString()); // in full where the column is too narrow for it
    }
    return item;
}

// A long caption over two lines, so that a number's column is as narrow as its figures allow.
QString twoLineCaption(QString caption)
{
    const qsizetype space = caption.indexOf(u' ');
    if (caption.size() > 10 && space > 0)
        caption[space] = u'\n';
    return caption;
}

} // namespace

AnalysisPage::AnalysisPage(UserPrompts* prompts, QWidget* parent)
    : Page(parent), m_prompts(prompts), m_ownFiles(new FileDialogPrompt(this)), m_files(m_ownFiles.get()),
      m_picture(new QComboBox(this)), m_start(new DateEdit(this)), m_end(new DateEdit(this)),
      m_ingredient(new QComboBox(this)), m_set(new QComboBox(this)), m_dishes(new QComboBox(this)),
      m_threshold(new QDoubleSpinBox(this)), m_scope(new QComboBox(this)),
      m_ingredientGroup(new QComboBox(this)), m_action(new QComboBox(this)), m_percent(new QSpinBox(this)),
      m_show(new QPushButton(u"Показать"_s, this)), m_print(new QPushButton(u"Печать"_s, this)),
      m_save(new QPushButton(u"Сохранить"_s, this)), m_chartView(new QChartView(this)),
      m_table(new QTableWidget(this)), m_notes(new QLabel(this))
{
    for (Picture picture : {Picture::FoodCost, Picture::MenuMatrix, Picture::DailySales, Picture::PriceTrend,
                            Picture::PriceChange})
        m_picture->addItem(AnalysisFigures::pictureName(picture), int(picture));
    m_set->addItem(u"Группа блюд"_s, int(DishSet::Group));
    m_set->addItem(u"Меню"_s, int(DishSet::Menu));
    m_ingredient->setMinimumContentsLength(24);
    m_ingredient->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_dishes->setMinimumContentsLength(24);
    m_dishes->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_ingredientGroup->setMinimumContentsLength(20);
    m_ingredientGroup->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_scope->addItem(u"Ингредиент"_s, int(PriceRecalculation::Scope::Ingredient));
    m_scope->addItem(u"Группа ингредиентов"_s, int(PriceRecalculation::Scope::Group));
    m_scope->addItem(u"Все ингредиенты"_s, int(PriceRecalculation::Scope::All));
    m_action->addItem(u"повысить на"_s, int(PriceRecalculation::Action::Raise));
    m_action->addItem(u"понизить на"_s, int(PriceRecalculation::Action::Lower));
    m_percent->setRange(0, 100);
    m_percent->setSuffix(u" %"_s);
    setPriceChange(AnalysisChoice().change);
    m_scope->setToolTip(u"Чьи цены изменить в расчёте: одного ингредиента, группы или всех"_s);
    m_action->setToolTip(u"Повысить или понизить цены, как «Пересчёт цен»; ничего не сохраняется"_s);
    m_percent->setToolTip(u"На сколько процентов изменить цены"_s);
    m_threshold->setToolTip(u"Доля себестоимости в цене продажи, выше которой блюдо отмечается"_s);
    m_threshold->setRange(0, 1000);
    m_threshold->setDecimals(1);
    m_threshold->setSuffix(u" %"_s);
    m_threshold->setValue(FoodCostShares::defaultThreshold);
    m_print->setToolTip(u"Напечатать таблицу рисунка"_s);
    m_save->setToolTip(u"Сохранить рисунок в файл PNG или PDF"_s);
    m_show->setToolTip(u"Прочитать цифры выбранного рисунка и показать их"_s);

    auto* choices = new QGridLayout;
    const auto labelled = [this](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        return label;
    };
    auto* startLabel = labelled(u"&С"_s, m_start);
    auto* endLabel = labelled(u"п&о"_s, m_end);
    auto* ingredientLabel = labelled(u"&Ингредиент"_s, m_ingredient);
    auto* thresholdLabel = labelled(u"П&орог"_s, m_threshold);
    m_periodRow = {startLabel, m_start, endLabel, m_end};
    m_scopeRow = {labelled(u"&Что меняется"_s, m_scope), m_scope};
    m_ingredientRow = {ingredientLabel, m_ingredient};
    m_ingredientGroupRow = {labelled(u"&Группа"_s, m_ingredientGroup), m_ingredientGroup};
    m_dishesRow = {m_set, m_dishes};
    m_changeRow = {labelled(u"&Цены"_s, m_action), m_action, m_percent};
    m_thresholdRow = {thresholdLabel, m_threshold};
    auto* first = new QHBoxLayout;
    first->addWidget(labelled(u"&Рисунок"_s, m_picture));
    first->addWidget(m_picture);
    for (QWidget* widget : m_periodRow)
        first->addWidget(widget);
    first->addStretch(1);
    for (QPushButton* button : {m_show, m_print, m_save})
        first->addWidget(button);
    auto* second = new QHBoxLayout;
    for (QWidget* widget :
         m_scopeRow + m_ingredientRow + m_ingredientGroupRow + m_dishesRow + m_changeRow + m_thresholdRow)
        second->addWidget(widget);
    second->addStretch(1);
    choices->addLayout(first, 0, 0);
    choices->addLayout(second, 1, 0);

    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumSize(420, 300);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->setMinimumWidth(300);
    m_notes->setWordWrap(true);
    m_notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* tablePanel = new QWidget(this);
    auto* tableLayout = new QVBoxLayout(tablePanel);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->addWidget(m_table, 1);
    tableLayout->addWidget(m_notes);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(m_chartView);
    splitter->addWidget(tablePanel);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    // The table's wide columns would otherwise squeeze the chart at the first show.
    splitter->setSizes({3000, 2000});
    // The table is fitted again whenever its place changes: the window resized, the splitter moved.
    m_table->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(splitter, 1);

    setClock(m_clock);
    connect(m_picture, &QComboBox::currentIndexChanged, this, &AnalysisPage::updateControls);
    connect(m_set, &QComboBox::currentIndexChanged, this, &AnalysisPage::fillDishes);
    connect(m_scope, &QComboBox::currentIndexChanged, this, &AnalysisPage::updateControls);
    connect(m_show, &QPushButton::clicked, this, &AnalysisPage::showFigures);
    // "Обновить" reads the choices and the picture shown again: another workstation may have sold or
    // repriced since.
    connect(refreshAction(), &QAction::triggered, this, [this] {
        QString error;
        if (!fillChoosers(&error))
            m_prompts->warn(caption, error);
        else if (m_figures)
            showFigures();
    });
    connect(m_print, &QPushButton::clicked, this, &AnalysisPage::print);
    connect(m_save, &QPushButton::clicked, this, &AnalysisPage::saveChart);
    updateControls();
}

AnalysisPage::~AnalysisPage() = default;

void AnalysisPage::setClock(const Clock* clock)
{
    m_clock = clock;
    // The month up to today: the last month's sales and prices are what is asked about most.
    const QDate today = m_clock->today();
    setPeriod(today.addMonths(-1).addDays(1), today);
}

bool AnalysisPage::openViews(QSqlDatabase db, QString* error)
{
    m_db = db;
    return fillChoosers(error);
}

void AnalysisPage::closeViews()
{
    m_db = QSqlDatabase();
}

void AnalysisPage::pageShown()
{
    QString error;
    if (!fillChoosers(&error)) {
        m_prompts->warn(caption, error);
        return;
    }
    // The first visit shows the picture chosen at once, when a kitchen has something to choose; later
    // ones keep what is shown until asked.
    const AnalysisChoice chosen = choice();
    if (!m_shownOnce && (chosen.picture != Picture::FoodCost || chosen.dishes != 0)) {
        m_shownOnce = true;
        showFigures();
    }
}

bool AnalysisPage::fillChoosers(QString* error)
{
    std::vector<NamedKey> ingredients;
    std::vector<NamedKey> ingredientGroups;
    if (!AnalysisFigures::ingredients(m_db, &ingredients, error) ||
        !AnalysisFigures::ingredientGroups(m_db, &ingredientGroups, error) ||
        !AnalysisFigures::dishGroups(m_db, &m_groups, error) ||
        !AnalysisFigures::menus(m_db, &m_menus, error))
        return false;
    fillChooser(m_ingredient, ingredients);
    fillChooser(m_ingredientGroup, ingredientGroups);
    fillDishes();
    return true;
}

void AnalysisPage::fillDishes()
{
    fillChooser(m_dishes, DishSet(m_set->currentData().toInt()) == DishSet::Group ? m_groups : m_menus);
}

void AnalysisPage::updateControls()
{
    const Picture picture = Picture(m_picture->currentData().toInt());
    const bool change = picture == Picture::PriceChange;
    const auto scope = PriceRecalculation::Scope(m_scope->currentData().toInt());
    const std::pair<const QList<QWidget*>*, bool> rows[] = {
        {&m_periodRow, picture != Picture::FoodCost && !change},
        {&m_scopeRow, change},
        {&m_ingredientRow,
         picture == Picture::PriceTrend || (change && scope == PriceRecalculation::Scope::Ingredient)},
        {&m_ingredientGroupRow, change && scope == PriceRecalculation::Scope::Group},
        {&m_dishesRow, picture == Picture::FoodCost},
        {&m_changeRow, change},
        {&m_thresholdRow, picture == Picture::FoodCost || change}};
    for (const auto& [widgets, visible] : rows) {
        for (QWidget* widget : *widgets)
            widget->setVisible(visible);
    }
    m_print->setEnabled(m_figures.has_value());
    m_save->setEnabled(m_figures.has_value());
}

AnalysisChoice AnalysisPage::choice() const
{
    AnalysisChoice choice;
    choice.picture = Picture(m_picture->currentData().toInt());
    choice.start = m_start->date();
    choice.end = m_end->date();
    choice.ingredient = m_ingredient->currentData().toLongLong();
    choice.set = DishSet(m_set->currentData().toInt());
    choice.dishes = m_dishes->currentData().toLongLong();
    choice.threshold = m_threshold->value();
    choice.change = {PriceRecalculation::Scope(m_scope->currentData().toInt()),
                     PriceRecalculation::Action(m_action->currentData().toInt()), m_percent->value()};
    choice.ingredientGroup = m_ingredientGroup->currentData().toLongLong();
    return choice;
}

void AnalysisPage::choosePicture(Picture picture)
{
    select(m_picture, int(picture));
}

void AnalysisPage::setPeriod(const QDate& start, const QDate& end)
{
    m_start->setDate(start);
    m_end->setDate(end);
}

bool AnalysisPage::chooseIngredient(qlonglong key)
{
    return select(m_ingredient, key);
}

bool AnalysisPage::chooseDishes(DishSet set, qlonglong key)
{
    select(m_set, int(set));
    return select(m_dishes, key);
}

void AnalysisPage::setThreshold(double percent)
{
    m_threshold->setValue(percent);
}

void AnalysisPage::setPriceChange(const PriceRecalculation::Settings& change)
{
    select(m_scope, int(change.scope));
    select(m_action, int(change.action));
    m_percent->setValue(change.percent);
}

bool AnalysisPage::chooseIngredientGroup(qlonglong key)
{
    return select(m_ingredientGroup, key);
}

bool AnalysisPage::showFigures()
{
    const AnalysisChoice chosen = choice();
    AnalysisFigures figures;
    QString error;
    bool read = false;
    const Worker::Outcome outcome =
        runInWorker(this, *m_prompts, caption, m_db, [&](const QSqlDatabase& db, Worker& worker) {
            worker.report(AnalysisFigures::pictureName(chosen.picture), 0, 1);
            read = AnalysisFigures::read(db, chosen, &figures, &error);
        });
    if (outcome != Worker::Outcome::Finished)
        return false;
    if (!read) {
        m_prompts->warn(caption, error);
        return false;
    }
    present(figures);
    return true;
}

void AnalysisPage::present(const AnalysisFigures& figures)
{
    m_figures = figures;
    QChart* old = m_chartView->chart();
    m_chartView->setChart(AnalysisChart::build(figures));
    delete old;

    const AnalysisTable shown = figures.table();
    m_table->clear();
    m_table->setColumnCount(int(shown.columns.size()));
    m_table->setRowCount(int(shown.rows.size()));
    QStringList headers;
    m_textColumns.clear();
    for (const AnalysisTable::Column& column : shown.columns) {
        if (column.format.isEmpty())
            m_textColumns << int(headers.size());
        headers << twoLineCaption(column.caption);
    }
    m_table->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < shown.rows.size(); ++r) {
        for (int c = 0; c < shown.columns.size(); ++c)
            m_table->setItem(r, c, tableItem(shown.rows[r].value(c), shown.columns[c].format));
    }
    fitColumns();
    m_notes->setText((QStringList{shown.title, shown.subtitle} + shown.notes).join(u'\n'));
    updateControls();
}

void AnalysisPage::fitColumns()
{
    m_table->resizeColumnsToContents();
    // The figures are what the user came for: when the table is wider than its place, the text columns
    // (names, elided, in full in their tooltips) give up width before a number is scrolled out of view.
    constexpr int narrowest = 80;
    int excess = -m_table->viewport()->width();
    for (int c = 0; c < m_table->columnCount(); ++c)
        excess += m_table->columnWidth(c);
    QList<int> textColumns = m_textColumns;
    std::sort(textColumns.begin(), textColumns.end(),
              [this](int a, int b) { return m_table->columnWidth(a) > m_table->columnWidth(b); });
    for (int c : std::as_const(textColumns)) {
        if (excess <= 0)
            break;
        const int shrink = std::min(excess, m_table->columnWidth(c) - narrowest);
        if (shrink > 0) {
            m_table->setColumnWidth(c, m_table->columnWidth(c) - shrink);
            excess -= shrink;
        }
    }
}

bool AnalysisPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return Page::eventFilter(watched, event);
}

void AnalysisPage::print()
{
    if (!m_figures)
        return;
    const AnalysisChoice chosen = m_figures->choice;
    runPrintJob(
        this, u"Печать анализа"_s, m_db,
        [chosen](const QSqlDatabase& db) { return std::make_unique<AnalysisPrintJob>(db, chosen); },
        *m_prompts, *m_launcher);
}

void AnalysisPage::saveChart()
{
    if (!m_figures)
        return;
    const QString path = m_files->askSaveFile(
        u"Сохранить рисунок"_s, AnalysisFigures::pictureName(m_figures->choice.picture) + u".png"_s,
        {u"Рисунок PNG (*.png)"_s, u"Документ PDF (*.pdf)"_s});
    if (path.isEmpty())
        return;
    QString error;
    if (!writeChart(path, &error)) {
        m_prompts->warn(u"Сохранение рисунка"_s, error);
        return;
    }
    Page::report(this, u"Рисунок сохранён: %1"_s.arg(QDir::toNativeSeparators(path)));
}

bool AnalysisPage::writeChart(const QString& path, QString* error)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (QFileInfo(path).suffix().compare(u"pdf"_s, Qt::CaseInsensitive) == 0) {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(u"Кухнемер"_s);
        pdf.setTitle(m_chartView->chart()->title());
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        QPainter painter(&pdf);
        // Drawn as vectors, scaled to the page with the chart's proportions.
        m_chartView->render(&painter, QRectF(0, 0, pdf.width(), pdf.height()),
                            m_chartView->viewport()->rect(), Qt::KeepAspectRatio);
    } else {
        // Twice the screen's pixels, so that the picture stays sharp in a document.
        QImage image(m_chartView->viewport()->size() * 2, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            m_chartView->render(&painter, QRectF(image.rect()), m_chartView->viewport()->rect(),
                                Qt::KeepAspectRatio);
        }
        image.save(&buffer, "PNG");
    }
    return writeWholeFile(path, buffer.data(), error);
}
