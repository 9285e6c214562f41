#include "AnalysisChart.h"

#include "analysis/AnalysisFigures.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QColor within(0x4a, 0x90, 0xc2);
const QColor over(0xd9, 0x53, 0x4f);
const QColor guide(0x70, 0x70, 0x70);

qreal at(const QDate& date)
{
    return qreal(QDateTime(date, QTime(0, 0)).toMSecsSinceEpoch());
}

QValueAxis* valueAxis(const QString& title, qreal low, qreal high)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    // An empty or flat range would leave the axis without ticks.
    if (high <= low)
        high = low + 1;
    axis->setRange(low, high);
    axis->applyNiceNumbers();
    return axis;
}

void attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y)
{
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

// A dashed guide across the plot (a threshold, an average) that the legend does not list.
void addGuide(QChart* chart, const QList<QPointF>& points, QAbstractAxis* x, QAbstractAxis* y)
{
    auto* line = new QLineSeries;
    line->append(points);
    line->setPen(QPen(guide, 2, Qt::DashLine));
    attach(chart, line, x, y);
    chart->legend()->markers(line).constFirst()->setVisible(false);
}

void priceTrend(QChart* chart, const PriceTrend& trend)
{
    chart->setTitle(u"Цена ингредиента \"%1\""_s.arg(trend.ingredient));
    auto* price = new QLineSeries;
    price->setName(trend.unit.isEmpty() ? u"Цена"_s : u"Цена за %1"_s.arg(trend.unit));
    auto* receipts = new QScatterSeries;
    receipts->setName(u"Приход"_s);
    receipts->setMarkerSize(11);
    auto* others = new QScatterSeries;
    others->setName(u"Другие изменения"_s);
    others->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    others->setMarkerSize(8);
    // Steps: a price holds until the day it changes.
    std::optional<double> last = trend.startPrice;
    if (last)
        price->append(at(trend.start), *last);
    for (const PriceChange& change : trend.changes) {
        if (last)
            price->append(at(change.date), *last);
        last = change.price;
        if (!last)
            continue;
        price->append(at(change.date), *last);
        (change.receipt ? receipts : others)->append(at(change.date), *last);
    }
    if (last)
        price->append(at(trend.end), *last);

    auto* x = new QDateTimeAxis;
    x->setFormat(u"dd.MM.yy"_s);
    x->setTitleText(u"Дата"_s);
    x->setRange(QDateTime(trend.start, QTime(0, 0)),
                QDateTime(std::max(trend.end, trend.start.addDays(1)), QTime(0, 0)));
    qreal high = 0;
    for (const QPointF& point : price->points())
        high = std::max(high, point.y());
    QValueAxis* y = valueAxis(u"Цена, руб."_s, 0, high * 1.15);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QXYSeries* series :
         {static_cast<QXYSeries*>(price), static_cast<QXYSeries*>(receipts), static_cast<QXYSeries*>(others)})
        attach(chart, series, x, y);
}

void foodCost(QChart* chart, const FoodCostShares& shares)
{
    chart->setTitle(u"Доля себестоимости в цене: %1 (порог %2 %)"_s.arg(shares.of).arg(shares.threshold));
    auto* under = new QBarSet(u"Не выше порога"_s);
    under->setColor(within);
    auto* above = new QBarSet(u"Выше порога"_s);
    above->setColor(over);
    QStringList names;
    qreal high = shares.threshold;
    // The largest share on top: a horizontal chart lists its categories from the bottom up.
    for (auto row = shares.rows.crbegin(); row != shares.rows.crend(); ++row) {
        if (!row->share)
            continue;
        names << row->name;
        *under << (row->over ? 0 : *row->share);
        *above << (row->over ? *row->share : 0);
        high = std::max(high, *row->share);
    }
    auto* series = new QHorizontalStackedBarSeries;
    series->append(under);
    series->append(above);
    series->setBarWidth(0.7);
    auto* y = new QBarCategoryAxis;
    y->append(names);
    QValueAxis* x = valueAxis(u"Себестоимость, % от цены продажи"_s, 0, high * 1.1);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    attach(chart, series, x, y);
    if (!names.isEmpty())
        addGuide(chart, {{shares.threshold, -0.5}, {shares.threshold, names.size() - 0.5}}, x, y);
}

void menuMatrix(QChart* chart, const MenuMatrix& matrix)
{
    chart->setTitle(u"Матрица меню: продажи с %1 по %2"_s.arg(matrix.start.toString(u"dd.MM.yyyy"_s),
                                                              matrix.end.toString(u"dd.MM.yyyy"_s)));
    const QColor colours[] = {QColor(0x2e, 0x9e, 0x4f), QColor(0xe0, 0x9a, 0x1f), QColor(0x4a, 0x90, 0xc2),
                              QColor(0xc9, 0x3c, 0x3c)};
    qreal left = 0, right = 1, bottom = 0, top = 1;
    for (const MatrixDish& dish : matrix.dishes) {
        left = std::min(left, dish.portions);
        right = std::max(right, dish.portions);
        bottom = std::min(bottom, dish.margin);
        top = std::max(top, dish.margin);
    }
    const qreal padX = (right - left) * 0.12;
    const qreal padY = (top - bottom) * 0.12;
    QValueAxis* x = valueAxis(u"Популярность: продано порций"_s, left < 0 ? left - padX : 0, right + padX);
    QValueAxis* y = valueAxis(u"Маржа порции, руб."_s, bottom < 0 ? bottom - padY : 0, top + padY);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    // One series a kind for the legend; each dish its own point, labelled with its name.
    for (MatrixKind kind : {MatrixKind::PopularProfitable, MatrixKind::PopularPoor,
                            MatrixKind::RareProfitable, MatrixKind::RarePoor}) {
        auto* legend = new QScatterSeries;
        legend->setName(MenuMatrix::kindName(kind));
        legend->setColor(colours[int(kind)]);
        attach(chart, legend, x, y);
    }
    for (const MatrixDish& dish : matrix.dishes) {
        auto* point = new QScatterSeries;
        point->append(dish.portions, dish.margin);
        point->setColor(colours[int(dish.kind)]);
        point->setMarkerSize(12);
        // A format without placeholders is printed as it stands: the dish's name.
        point->setPointLabelsFormat(QString(dish.name).replace(u'@', u'＠'));
        point->setPointLabelsVisible(true);
        point->setPointLabelsClipping(false);
        attach(chart, point, x, y);
        chart->legend()->markers(point).constFirst()->setVisible(false);
    }
    if (!matrix.dishes.empty()) {
        addGuide(chart, {{matrix.averagePortions, y->min()}, {matrix.averagePortions, y->max()}}, x, y);
        addGuide(chart, {{x->min(), matrix.averageMargin}, {x->max(), matrix.averageMargin}}, x, y);
    }
}

void dailySales(QChart* chart, const DailySales& daily)
{
    chart->setTitle(u"Продажи и себестоимость по дням с %1 по %2"_s.arg(daily.start.toString(u"dd.MM.yyyy"_s),
                                                                        daily.end.toString(u"dd.MM.yyyy"_s)));
    auto* sales = new QBarSet(u"Продажи"_s);
    sales->setColor(within);
    auto* cost = new QBarSet(u"Себестоимость"_s);
    cost->setColor(over);
    QStringList days;
    const bool years = daily.start.year() != daily.end.year();
    qreal high = 0;
    for (const SalesDay& day : daily.days) {
        days << day.date.toString(years ? u"dd.MM.yy"_s : u"dd.MM"_s);
        *sales << day.sales;
        *cost << day.cost;
        high = std::max({high, day.sales, day.cost});
    }
    auto* series = new QBarSeries;
    series->append(sales);
    series->append(cost);
    auto* x = new QBarCategoryAxis;
    x->append(days);
    QValueAxis* y = valueAxis(u"Сумма, руб."_s, 0, high * 1.1);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    attach(chart, series, x, y);
}

void priceChange(QChart* chart, const PriceChangePreview& change)
{
    chart->setTitle(u"Что если: %1 (порог %2 %)"_s.arg(change.of).arg(change.threshold));
    auto* before = new QBarSet(u"Доля сейчас"_s);
    before->setColor(guide);
    auto* after = new QBarSet(u"Доля после изменения"_s);
    after->setColor(over);
    QStringList names;
    qreal high = change.threshold;
    const std::vector<const RepricingRow*> shown = change.charted();
    // The first row on top: a horizontal chart lists its categories from the bottom up.
    for (auto row = shown.crbegin(); row != shown.crend(); ++row) {
        names << (*row)->name;
        *before << *(*row)->oldShare * 100;
        *after << *(*row)->newShare * 100;
        high = std::max({high, *(*row)->oldShare * 100, *(*row)->newShare * 100});
    }
    auto* series = new QHorizontalBarSeries;
    series->append(before);
    series->append(after);
    auto* y = new QBarCategoryAxis;
    y->append(names);
    QValueAxis* x = valueAxis(u"Себестоимость, % от цены продажи"_s, 0, high * 1.1);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    attach(chart, series, x, y);
    if (!names.isEmpty())
        addGuide(chart, {{change.threshold, -0.5}, {change.threshold, names.size() - 0.5}}, x, y);
}

} // namespace

QChart* AnalysisChart::build(const AnalysisFigures& figures)
{
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    switch (figures.choice.picture) {
    case Picture::PriceTrend:
        priceTrend(chart, figures.trend);
        break;
    case Picture::FoodCost:
        foodCost(chart, figures.shares);
        break;
    case Picture::MenuMatrix:
        menuMatrix(chart, figures.matrix);
        break;
    case Picture::DailySales:
        dailySales(chart, figures.daily);
        break;
    case Picture::PriceChange:
        priceChange(chart, figures.priceChange);
        break;
    }
    return chart;
}
