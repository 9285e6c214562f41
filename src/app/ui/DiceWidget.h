#pragma once

#include <QColor>
#include <QWidget>

#include <array>

// One die: a cube turned by three angles about the three axes and a fixed tilt, with its three visible
// faces filled and their pips drawn as on a real die (opposite faces add up to seven).
class DiceWidget : public QWidget
{
    Q_OBJECT
public:
    DiceWidget(QColor pips, QColor face, QWidget* parent = nullptr);

    // Signs per axis, so that several dice turn differently from one set of angles.
    void setAngleSigns(const std::array<int, 3>& signs) { m_signs = signs; }
    void setAngles(const std::array<int, 3>& angles);
    QSize sizeHint() const override { return {96, 96}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_pips;
    QColor m_face;
    std::array<int, 3> m_signs{1, 1, 1};
    std::array<double, 3> m_angles{};
};
