#include "settings/idle_time.h"

bool parseIdleTime(const char* text, std::uint32_t& milliseconds)
{
    std::uint64_t count = 0;
    const char* at = text;
    for (; *at >= '0' && *at <= '9'; ++at) {
        count = count * 10 + std::uint64_t(*at - '0');
        // Past any valid time already; stops the count from overflowing.
        if (count > longestIdleMilliseconds)
            return false;
    }
    if (at == text)
        return false;
    std::uint64_t unit = 1000;
    if (*at != '\0') {
        switch (*at) {
        case 's': unit = 1000; break;
        case 'm': unit = 60 * 1000; break;
        case 'h': unit = 60 * 60 * 1000; break;
        default: return false;
        }
        if (at[1] != '\0')
            return false;
    }
    const std::uint64_t total = count * unit;
    if (total < shortestIdleMilliseconds || total > longestIdleMilliseconds)
        return false;
    milliseconds = std::uint32_t(total);
    return true;
}

std::string idleTimeText(std::uint32_t milliseconds)
{
    const std::uint32_t seconds = milliseconds / 1000;
    if (milliseconds % 1000 != 0)
        return std::to_string(milliseconds) + "ms";
    if (seconds != 0 && seconds % 3600 == 0)
        return std::to_string(seconds / 3600) + "h";
    if (seconds != 0 && seconds % 60 == 0)
        return std::to_string(seconds / 60) + "m";
    return std::to_string(seconds) + "s";
}
