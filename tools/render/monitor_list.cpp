#include "monitor_list.h"

#include <algorithm>
#include <charconv>

#include "settings/setting_options.h"

namespace {

// Digits only, no sign, no spaces, within [0, limit].
bool parseDigits(const char*& cursor, const char* end, int limit, int& value)
{
    if (cursor == end || *cursor < '0' || *cursor > '9')
        return false;
    int parsed = 0;
    const auto result = std::from_chars(cursor, end, parsed);
    if (result.ec != std::errc() || parsed > limit)
        return false;
    cursor = result.ptr;
    value = parsed;
    return true;
}

// '+' or '-' and digits.
bool parseEdge(const char*& cursor, const char* end, int& value)
{
    if (cursor == end || (*cursor != '+' && *cursor != '-'))
        return false;
    const bool negative = *cursor == '-';
    ++cursor;
    int magnitude = 0;
    if (!parseDigits(cursor, end, monitorEdgeLimit, magnitude))
        return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

bool parseMonitor(const std::string& entry, int sideLimit, ScreenRect& monitor)
{
    const char* cursor = entry.data();
    const char* end = entry.data() + entry.size();
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    if (!parseDigits(cursor, end, sideLimit, width) || width < 1)
        return false;
    if (cursor == end || *cursor++ != 'x')
        return false;
    if (!parseDigits(cursor, end, sideLimit, height) || height < 1)
        return false;
    if (!parseEdge(cursor, end, left) || !parseEdge(cursor, end, top) || cursor != end)
        return false;
    monitor = {left, top, left + width, top + height};
    return true;
}

}  // namespace

bool parseMonitorList(const std::string& text, int sideLimit, std::vector<ScreenRect>& monitors,
                      std::string& error)
{
    std::vector<ScreenRect> parsed;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string entry = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        ScreenRect monitor = {};
        if (!parseMonitor(entry, sideLimit, monitor)) {
            error = "--monitors wants WIDTHxHEIGHT+LEFT+TOP,... (sides from 1 to " + std::to_string(sideLimit) +
                    ", edges with a sign, at most " + std::to_string(monitorEdgeLimit) + " from 0; got " +
                    quotedArgument(entry) + " in " + quotedArgument(text) + ")";
            return false;
        }
        parsed.push_back(monitor);
        if (int(parsed.size()) > monitorListLimit) {
            error = "--monitors takes at most " + std::to_string(monitorListLimit) + " monitors";
            return false;
        }
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    const ScreenRect bounds = monitorBounds(parsed);
    if (bounds.right - bounds.left > sideLimit || bounds.bottom - bounds.top > sideLimit) {
        error = "--monitors: the monitors span " + std::to_string(bounds.right - bounds.left) + "x" +
                std::to_string(bounds.bottom - bounds.top) + ", more than " + std::to_string(sideLimit) +
                " a side";
        return false;
    }
    monitors = parsed;
    return true;
}

ScreenRect monitorBounds(const std::vector<ScreenRect>& monitors)
{
    if (monitors.empty())
        return {0, 0, 0, 0};
    ScreenRect bounds = monitors[0];
    for (const ScreenRect& monitor : monitors) {
        bounds.left = std::min(bounds.left, monitor.left);
        bounds.top = std::min(bounds.top, monitor.top);
        bounds.right = std::max(bounds.right, monitor.right);
        bounds.bottom = std::max(bounds.bottom, monitor.bottom);
    }
    return bounds;
}
