#include "app/DropTrajectory.h"

#include <cmath>

int roundHalfEven(double value)
{
    return int(std::nearbyint(value));  // the default rounding mode is to nearest-even
}

DropPlan dropTrajectory(double top, double left, std::optional<int> taskBarTop,
                        double screenHeightTwips)
{
    DropPlan plan;
    int floor = taskBarTop ? *taskBarTop * 15 : 0;
    if (floor <= 0)
        floor = roundHalfEven(screenHeightTwips);
    int bounce = floor - 4000;
    if (top > bounce)
        bounce = roundHalfEven(top);
    int step = 150;
    plan.floor = floor;
    plan.firstBounce = bounce;

    for (;;) {
        while (top < floor) {
            top += step;
            left += 15;
            plan.steps.push_back({top, left, true});
        }
        while (top > bounce) {
            top -= step;
            left += 15;
            plan.steps.push_back({top, left, true});
        }
        if (top < floor || bounce < 10000) {
            bounce += 1000;
            step -= 5;
            if (step <= 0)
                step = 5;
            continue;
        }
        break;
    }
    const double end = double(floor) + 15000;
    while (top < end) {
        top += step;
        plan.steps.push_back({top, left, false});
    }
    return plan;
}
