#include "host/dismissal_rules.h"

namespace {

std::uint32_t distance(int from, int to)
{
    const auto a = static_cast<std::uint32_t>(from);
    const auto b = static_cast<std::uint32_t>(to);
    return from <= to ? b - a : a - b;
}

}  // namespace

std::uint32_t cursorDrift(int anchorX, int anchorY, int x, int y)
{
    return distance(anchorX, x) + distance(anchorY, y);
}

bool driftCloses(std::uint32_t drift, std::uint32_t moveThreshold)
{
    return drift > moveThreshold;
}

bool passwordCheckThrottled(std::uint32_t lastCheckTick, std::uint32_t now)
{
    return lastCheckTick != noCheckYet && now - lastCheckTick < passwordCheckThrottleMs;
}
