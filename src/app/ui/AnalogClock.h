#pragma once

#include <QTimer>
#include <QWidget>

// The start page's clock; it runs only while the start page shows.
class AnalogClock : public QWidget
{
    Q_OBJECT
public:
    explicit AnalogClock(QWidget* parent = nullptr);
    void setRunning(bool running);
    QSize sizeHint() const override { return {150, 150}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
};
