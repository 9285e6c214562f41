#include "DiceAnimation.h"

void DiceAnimation::reset()
{
    m_angles = {0, 0, 0};
    m_steps = {4, 5, 7};
}

void DiceAnimation::tick()
{
    for (int i = 0; i < 3; ++i) {
        m_angles[i] += m_steps[i];
        if (m_angles[i] > 360)
            m_angles[i] -= 360;
    }
}

void DiceAnimation::changeSteps(const std::function<int(int, int)>& random)
{
    for (int& step : m_steps)
        step = random(-10, 10);
}
