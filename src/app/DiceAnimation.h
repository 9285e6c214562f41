#pragma once

#include <array>
#include <functional>

// The start page's decoration: three angles in whole degrees that grow by their steps on every tick,
// and steps that change at random every few seconds.
class DiceAnimation
{
public:
    static constexpr int tickMs = 50;
    static constexpr int stepChangeMs = 3000;

    DiceAnimation() { reset(); }

    void reset();
    // Each angle grows by its step; one above 360 loses 360. A falling angle is not wrapped below 0.
    void tick();
    // Each step becomes a whole number from -10 to 10, drawn by the given source.
    void changeSteps(const std::function<int(int low, int high)>& random);

    const std::array<int, 3>& angles() const { return m_angles; }
    const std::array<int, 3>& steps() const { return m_steps; }
    void setAngles(const std::array<int, 3>& angles) { m_angles = angles; }
    void setSteps(const std::array<int, 3>& steps) { m_steps = steps; }

private:
    std::array<int, 3> m_angles{};
    std::array<int, 3> m_steps{};
};
