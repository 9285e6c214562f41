#include "AnalogClock.h"

#include <QPainter>
#include <QTime>

AnalogClock::AnalogClock(QWidget* parent) : QWidget(parent)
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    setMinimumSize(110, 110);
}

void AnalogClock::setRunning(bool running)
{
    if (running)
        m_timer.start();
    else
        m_timer.stop();
}

void AnalogClock::paintEvent(QPaintEvent*)
{
    const QTime now = QTime::currentTime();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    painter.scale(side / 200.0, side / 200.0);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 3));
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawEllipse(QPointF(0, 0), 95, 95);
    for (int i = 0; i < 60; ++i) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), i % 5 == 0 ? 4 : 1));
        painter.drawLine(QPointF(0, i % 5 == 0 ? -80 : -86), QPointF(0, -92));
        painter.rotate(6.0);
    }
    auto hand = [&](double degrees, double length, double thickness, const QColor& colour) {
        painter.save();
        painter.rotate(degrees);
        painter.setPen(QPen(colour, thickness, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, 10), QPointF(0, -length));
        painter.restore();
    };
    hand(30.0 * (now.hour() % 12 + now.minute() / 60.0), 50, 7, palette().color(QPalette::WindowText));
    hand(6.0 * (now.minute() + now.second() / 60.0), 75, 5, palette().color(QPalette::WindowText));
    hand(6.0 * now.second(), 85, 2, QColor(200, 30, 30));
}
