#include "app/DiceAnimation.h"

#include <QTest>

class tst_DiceAnimation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tickWrapsAboveButNotBelow()
    {
        DiceAnimation animation;
        QCOMPARE(animation.steps(), (std::array<int, 3>{4, 5, 7}));
        animation.setAngles({358, 2, 360});
        animation.setSteps({5, -5, 0});
        animation.tick();
        QCOMPARE(animation.angles(), (std::array<int, 3>{3, -3, 360}));
        animation.tick();
        QCOMPARE(animation.angles(), (std::array<int, 3>{8, -8, 360}));
    }

    void stepsDrawnFromMinusTenToTen()
    {
        DiceAnimation animation;
        QList<QPair<int, int>> asked;
        int next = -10;
        animation.changeSteps([&](int low, int high) {
            asked << qMakePair(low, high);
            return next++;
        });
        QCOMPARE(asked.size(), 3);
        QCOMPARE(asked.first(), qMakePair(-10, 10));
        QCOMPARE(animation.steps(), (std::array<int, 3>{-10, -9, -8}));
    }
};

QTEST_GUILESS_MAIN(tst_DiceAnimation)
#include "tst_DiceAnimation.moc"
