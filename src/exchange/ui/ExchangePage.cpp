#include "ExchangePage.h"
#include "costing/DishViews.h"
#include "store/WholeFile.h"

#include "exchange/CardExchange.h"
#include "IngredientAssociationDialog.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/WorkerRun.h"
#include "store/UserPrompts.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString cardFilter = u"Файл калькуляционной карты (*.fck)"_s;
const QString importCaption = u"Импрот блюда"_s;

} // namespace

ExchangePage::ExchangePage(UserPrompts* prompts, QWidget* parent)
    : Page(parent), m_prompts(prompts), m_groupGrid(new DataGrid(prompts, this)),
      m_dishGrid(new DataGrid(prompts, this)), m_cardGrid(new DataGrid(prompts, this)),
      m_export(new QPushButton(u"Экспортировать карточку"_s, this)),
      m_import(new QPushButton(u"Импортировать карточку"_s, this))
{
    chooseSaveFile = [](QWidget* parent) {
        return QFileDialog::getSaveFileName(parent, u"Экспорт блюда"_s, QString(), cardFilter);
    };
    chooseOpenFiles = [](QWidget* parent) {
        return QFileDialog::getOpenFileNames(parent, u"Импорт блюда"_s, QString(), cardFilter);
    };
    for (DataGrid* grid : {m_groupGrid, m_dishGrid, m_cardGrid}) {
        grid->setCtrlDeleteBlocked(true);
        grid->setInsertBlocked(true);
    }
    auto* right = new QVBoxLayout;
    right->addWidget(m_cardGrid, 1);
    right->addWidget(new QLabel(u"Данное окно предназначено для обмена каллкуляционными карточками.\n"
                                "При экспорте % надбавки и цена блюда и ингредиентов  НЕ передаётся."_s,
                                this));
    right->addWidget(m_export);
    right->addWidget(m_import);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_groupGrid, 2);
    layout->addWidget(m_dishGrid, 3);
    layout->addLayout(right, 3);
    m_import->setToolTip(u"Импортировать один или несколько файлов карточек (.fck) в текущую группу блюд"_s);
    connect(m_export, &QPushButton::clicked, this, &ExchangePage::exportCard);
    connect(m_import, &QPushButton::clicked, this, &ExchangePage::importCard);
    setEnabled(false);
}

void ExchangePage::createViews(QSqlDatabase db)
{
    m_groups = new TableModel(db, dishviews::dishGroups(), this);
    m_groups->setColumns({{u"Name"_s, u"Наименование группы блюд"_s}});
    m_groups->setReadOnly(true);
    m_dishes = new TableModel(db, dishviews::dishes(), this);
    m_dishes->setColumns(
        {{u"Name"_s, u"Наименование блюда"_s}, {u"Nporc"_s, u"Порций"_s}, {u"Vixod"_s, u"Выход"_s}});
    m_dishes->setReadOnly(true);
    m_dishes->setMaster(m_groups, u"Kod"_s);
    m_card = new TableModel(db, dishviews::cardLines(), this);
    m_card->setColumns({{u"Name1"_s, u"Наименование ингредиента"_s, QString(), true},
                        {u"Kolvo"_s, u"Кол-во (гр.)"_s, u"0.00"_s},
                        {u"Vihod"_s, u"% Вых"_s}});
    m_card->setReadOnly(true);
    m_card->setMaster(m_dishes, u"Kod1"_s);
}

bool ExchangePage::openViews(QSqlDatabase db, QString* error)
{
    if (m_groups && m_groups->isOpen())
        return true;
    m_db = db;
    if (!m_groups)
        createViews(db);
    for (TableModel* model : {m_groups, m_dishes, m_card}) {
        if (!model->open()) {
            *error = model->lastError();
            return false;
        }
    }
    m_groupGrid->setTableModel(m_groups);
    m_dishGrid->setTableModel(m_dishes);
    m_cardGrid->setTableModel(m_card);
    setEnabled(true);
    return true;
}

void ExchangePage::closeViews()
{
    for (TableModel* model : {m_card, m_dishes, m_groups}) {
        if (model)
            model->close();
    }
    setEnabled(false);
}

void ExchangePage::exportCard()
{
    if (!m_dishes || m_dishes->currentKey().isNull())
        return;
    const QString chosen = chooseSaveFile(this);
    if (chosen.isEmpty())
        return;
    CardExchange(m_db, *m_prompts).exportDish(m_dishes->currentKey(), chosen, QLocale().decimalPoint().at(0));
}

void ExchangePage::importCard()
{
    if (!m_groups)
        return;
    const QStringList chosen = chooseOpenFiles(this);
    if (chosen.isEmpty())
        return;
    if (!m_association)
        m_association = new IngredientAssociationDialog(m_prompts, m_db, this);
    QString error;
    if (!m_association->openViews(&error)) {
        m_prompts->warn(u"Ошибка"_s, error);
        return;
    }
    // The questions of every card first, in the window's thread; a card refused is left out and told.
    const QVariant group = m_groups->currentKey();
    QList<CardExchange::PreparedCard> cards;
    for (const QString& path : chosen) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            m_prompts->warn(importCaption, u"Не удалось открыть файл \"%1\": %2"_s.arg(
                                               QDir::toNativeSeparators(path), readErrorText(path)));
            continue;
        }
        if (const auto card = CardExchange(m_db, *m_prompts)
                                  .prepareCard(file, group, *m_association, QLocale().decimalPoint().at(0)))
            cards << *card;
    }
    m_association->closeViews();
    if (cards.isEmpty())
        return;
    CardExchange::Stored stored;
    const Worker::Outcome run =
        runInWorker(this, *m_prompts, importCaption, m_db, [&](const QSqlDatabase& db, Worker& worker) {
            stored = CardExchange(db, worker.prompts()).storeCards(group, cards, [&worker](int n, int total) {
                worker.report(u"Карточки"_s, n, total);
                return !worker.cancelRequested();
            });
        });
    if (run != Worker::Outcome::Finished || stored.cancelled)
        return;
    if (stored.dishes.isEmpty()) {
        m_prompts->warn(importCaption, stored.error);
        return;
    }
    m_prompts->inform(importCaption, CardExchange::importedText());
    report(this,
           chosen.size() == 1
               ? u"Блюдо импортировано из %1"_s.arg(QDir::toNativeSeparators(chosen.first()))
               : u"Импортировано блюд: %1 из файлов: %2"_s.arg(stored.dishes.size()).arg(chosen.size()));
    refreshViews();
    m_dishes->locateKey(stored.dishes.last());
}
