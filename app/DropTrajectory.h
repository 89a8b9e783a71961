#pragma once
#include <optional>
#include <vector>

// The path of the quit animation, in twips: the window falls onto the task
// bar's top edge (or the screen's bottom when there is none), bounces back to
// an apex 1000 twips lower each time while its step shrinks, drifting right,
// and at last falls out of sight.
struct DropStep {
    double top;
    double left;
    bool processEvents;  // false for the final fall, which takes no events
};

struct DropPlan {
    int floor = 0;
    int firstBounce = 0;
    std::vector<DropStep> steps;
};

// taskBarTop is the task bar's top edge in pixels, or none.
DropPlan dropTrajectory(double top, double left, std::optional<int> taskBarTop,
                        double screenHeightTwips);

// Rounds to the nearest whole number, halves to the even neighbour.
int roundHalfEven(double value);
