#include "StartPage.h"

#include "AnalogClock.h"
#include "DiceWidget.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Our own picture: a steaming stock pot on a stove ring.
class KitchenPicture : public QWidget
{
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return {360, 240}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const double w = width(), h = height();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 60, 60));
        p.drawRoundedRect(QRectF(w * 0.2, h * 0.86, w * 0.6, h * 0.06), 6, 6);
        QLinearGradient metal(w * 0.25, 0, w * 0.75, 0);
        metal.setColorAt(0, QColor(150, 155, 160));
        metal.setColorAt(0.45, QColor(235, 238, 240));
        metal.setColorAt(1, QColor(120, 125, 130));
        p.setBrush(metal);
        p.setPen(QPen(QColor(90, 95, 100), 2));
        p.drawRoundedRect(QRectF(w * 0.27, h * 0.42, w * 0.46, h * 0.44), 10, 10);
        p.drawRoundedRect(QRectF(w * 0.24, h * 0.38, w * 0.52, h * 0.07), 6, 6);
        p.drawRoundedRect(QRectF(w * 0.19, h * 0.5, w * 0.09, h * 0.05), 4, 4);
        p.drawRoundedRect(QRectF(w * 0.72, h * 0.5, w * 0.09, h * 0.05), 4, 4);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(170, 170, 170, 170), 5, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i) {
            const double x = w * (0.4 + 0.1 * i);
            QPainterPath steam(QPointF(x, h * 0.34));
            steam.cubicTo(QPointF(x - w * 0.04, h * 0.26), QPointF(x + w * 0.04, h * 0.18),
                          QPointF(x, h * 0.08));
            p.drawPath(steam);
        }
        p.setPen(QPen(QColor(200, 60, 30), 3));
        p.setFont(QFont(u"Serif"_s, int(h * 0.07), QFont::Bold));
        p.drawText(QRectF(w * 0.27, h * 0.55, w * 0.46, h * 0.2), Qt::AlignCenter, u"₽ · г · %"_s);
    }
};

} // namespace

StartPage::StartPage(QWidget* parent)
    : Page(parent), m_clock(new AnalogClock(this)), m_maintenance(new QPushButton(u"Индексация баз"_s, this)),
      m_offer(new QWidget(this)), m_offerText(new QLabel(m_offer)), m_presence(new QLabel(this))
{
    auto* title = new QLabel(u"Кухнемер"_s, this);
    QFont titleFont(u"Serif"_s, 54, QFont::Bold);
    titleFont.setItalic(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);
    title->setStyleSheet(u"color: #8b1e0e;"_s);

    const struct
    {
        QColor pips, face;
        std::array<int, 3> signs;
    } looks[] = {
        {Qt::white, Qt::red, {1, -1, 1}},
        {Qt::black, Qt::yellow, {-1, 1, 1}},
        {Qt::black, QColor(0, 255, 0), {1, 1, 1}},
        {Qt::white, Qt::black, {-1, -1, 1}},
    };
    auto* diceRow = new QHBoxLayout;
    for (const auto& look : looks) {
        auto* die = new DiceWidget(look.pips, look.face, this);
        die->setAngleSigns(look.signs);
        m_dice << die;
        diceRow->addWidget(die);
    }

    auto* layout = new QGridLayout(this);
    layout->addWidget(title, 0, 0, 1, 3);
    layout->addWidget(new KitchenPicture(this), 1, 1);
    layout->addWidget(m_clock, 1, 2, Qt::AlignCenter);
    layout->addLayout(diceRow, 2, 0, 1, 3);
    layout->addWidget(m_maintenance, 3, 0, 1, 3, Qt::AlignLeft);

    // Until a kitchen exists the pages have nothing to show; this is the way forward.
    m_offerText->setWordWrap(true);
    m_offerText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* offerLayout = new QVBoxLayout(m_offer);
    offerLayout->addWidget(m_offerText);
    auto* offerButtons = new QHBoxLayout;
    for (const QString& caption : {u"Пустая кухня"_s, u"Образец столовой"_s, u"Другая папка…"_s}) {
        auto* button = new QPushButton(caption, m_offer);
        m_offerButtons << button;
        offerButtons->addWidget(button);
    }
    offerButtons->addStretch();
    offerLayout->addLayout(offerButtons);
    layout->addWidget(m_offer, 4, 0, 1, 3);
    m_offer->hide();
    m_presence->setWordWrap(true);
    m_presence->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_presence, 5, 0, 1, 3);
    m_presence->hide();
    connect(m_offerButtons[0], &QPushButton::clicked, this, [this] { Q_EMIT kitchenRequested(false); });
    connect(m_offerButtons[1], &QPushButton::clicked, this, [this] { Q_EMIT kitchenRequested(true); });
    connect(m_offerButtons[2], &QPushButton::clicked, this, &StartPage::otherFolderRequested);
    // Equal side columns keep the picture centred, with the maintenance button or without it.
    const int side = m_clock->sizeHint().width();
    layout->setColumnMinimumWidth(0, side);
    layout->setColumnMinimumWidth(2, side);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(1, 1);
    connect(m_maintenance, &QPushButton::clicked, this, &StartPage::maintenanceRequested);
}

void StartPage::showKitchenOffer(const QString& dataDir)
{
    m_offer->setVisible(!dataDir.isEmpty());
    m_offerText->setText(
        u"Кухня ещё не создана. Создайте пустую кухню, чтобы вести свою, или образец столовой, "
        "чтобы посмотреть программу в работе; если кухня уже есть в другой папке, выберите её."
        "\nКаталог данных: %1"_s.arg(QDir::toNativeSeparators(dataDir)));
}

void StartPage::showPresence(const QString& text)
{
    m_presence->setText(text);
    m_presence->setVisible(!text.isEmpty());
}

void StartPage::setClockRunning(bool running)
{
    m_clock->setRunning(running);
}
