#include "screensaver/FadeState.h"
#include <climits>

namespace {

constexpr double StepWeight = 255 * (1.0 / FadeState::FadeSteps);
constexpr long long ReferenceTicks = 40;
constexpr long long ReferenceArea = 1280LL * 1280 + 1024LL * 1024;

} // namespace

int FadeState::advance(int holdLength)
{
    if (step <= 0)
        step = 1;
    if (step < HoldStep) {
        alpha = Opaque - static_cast<int>(step * StepWeight);
        ++step;
    } else if (step == HoldStep) {
        if (hold <= 0)
            alpha = 0;
        if (hold >= holdLength)
            step = HoldStep + 1;
        ++hold;
    } else {
        alpha = static_cast<int>((step - HoldStep) * StepWeight);
        ++step;
    }
    // The tick that ends the hold raises both the step and the hold count; it is one tick of drift.
    int ticks = step <= HoldStep ? step - 1 + hold : step - 2 + hold;
    if (step > LastStep) {
        step = 0;
        hold = 0;
    }
    return ticks;
}

int holdLengthFor(int width, int height)
{
    // Counted in 64 bits: the square of a wide desktop's diagonal, times 40, passes what an int holds.
    long long diagonalSquared = static_cast<long long>(width) * width + static_cast<long long>(height) * height;
    long long ticks = ReferenceTicks * diagonalSquared / ReferenceArea;
    return ticks > INT_MAX ? INT_MAX : static_cast<int>(ticks);
}

int driftedPosition(int start, double velocity, int ticks)
{
    return start + static_cast<int>(velocity * ticks) - static_cast<int>(velocity);
}
