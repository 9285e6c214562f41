#include "DiceWidget.h"

#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <cmath>

namespace {

struct Vec
{
    double x, y, z;
};

Vec rotate(Vec v, int axis, double degrees)
{
    const double r = degrees * M_PI / 180.0;
    const double c = std::cos(r), s = std::sin(r);
    switch (axis) {
    case 0:
        return {v.x, v.y * c - v.z * s, v.y * s + v.z * c};
    case 1:
        return {v.x * c + v.z * s, v.y, -v.x * s + v.z * c};
    default:
        return {v.x * c - v.y * s, v.x * s + v.y * c, v.z};
    }
}

// A face: the axis it is normal to, its side (+1/-1) and its pip count; opposite faces add up to 7.
struct Face
{
    int axis;
    int side;
    int pips;
};
constexpr Face faces[] = {{0, 1, 1}, {0, -1, 6}, {1, 1, 2}, {1, -1, 5}, {2, 1, 3}, {2, -1, 4}};

// Pip positions on a face in its own (u, v) coordinates from -1 to 1.
QList<QPointF> pipLayout(int count)
{
    const double a = 0.5;
    switch (count) {
    case 1:
        return {{0, 0}};
    case 2:
        return {{-a, -a}, {a, a}};
    case 3:
        return {{-a, -a}, {0, 0}, {a, a}};
    case 4:
        return {{-a, -a}, {a, -a}, {-a, a}, {a, a}};
    case 5:
        return {{-a, -a}, {a, -a}, {0, 0}, {-a, a}, {a, a}};
    default:
        return {{-a, -a}, {a, -a}, {-a, 0}, {a, 0}, {-a, a}, {a, a}};
    }
}

// A point of a face from its (u, v) coordinates.
Vec facePoint(const Face& face, double u, double v)
{
    Vec p{0, 0, 0};
    double* coords[3] = {&p.x, &p.y, &p.z};
    *coords[face.axis] = face.side;
    *coords[(face.axis + 1) % 3] = u;
    *coords[(face.axis + 2) % 3] = v;
    return p;
}

} // namespace

DiceWidget::DiceWidget(QColor pips, QColor face, QWidget* parent)
    : QWidget(parent), m_pips(pips), m_face(face)
{
    setMinimumSize(64, 64);
}

void DiceWidget::setAngles(const std::array<int, 3>& angles)
{
    for (int i = 0; i < 3; ++i)
        m_angles[i] = m_signs[i] * angles[i];
    update();
}

void DiceWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    const double scale = std::min(width(), height()) / 4.0;
    const QPointF centre(width() / 2.0, height() / 2.0);
    auto transform = [&](Vec v) {
        for (int axis = 0; axis < 3; ++axis)
            v = rotate(v, axis, m_angles[axis]);
        return rotate(rotate(v, 0, 25.0), 1, -30.0); // the fixed tilt
    };
    auto project = [&](Vec v) { return centre + QPointF(v.x * scale, -v.y * scale); };
    // The corner nearest the viewer decides the three faces that show: those with its signs.
    double bestDepth = -1e9;
    Vec nearest{};
    for (int i = 0; i < 8; ++i) {
        const Vec corner{i & 1 ? 1.0 : -1.0, i & 2 ? 1.0 : -1.0, i & 4 ? 1.0 : -1.0};
        const Vec turned = transform(corner);
        if (turned.z > bestDepth) {
            bestDepth = turned.z;
            nearest = corner;
        }
    }
    const double nearestCoords[3] = {nearest.x, nearest.y, nearest.z};
    painter.setPen(QPen(m_pips, 1.5));
    for (const Face& face : faces) {
        if (face.side != int(nearestCoords[face.axis]))
            continue;
        QPainterPath outline;
        const QPointF corners[4] = {
            project(transform(facePoint(face, -1, -1))), project(transform(facePoint(face, 1, -1))),
            project(transform(facePoint(face, 1, 1))), project(transform(facePoint(face, -1, 1)))};
        outline.moveTo(corners[0]);
        for (int i = 1; i < 4; ++i)
            outline.lineTo(corners[i]);
        outline.closeSubpath();
        painter.setBrush(m_face);
        painter.drawPath(outline);
        painter.setBrush(m_pips);
        for (const QPointF& pip : pipLayout(face.pips)) {
            const QPointF at = project(transform(facePoint(face, pip.x(), pip.y())));
            painter.drawEllipse(at, scale * 0.12, scale * 0.12);
        }
    }
}
