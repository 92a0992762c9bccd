#include "settings/stored_flag.h"

namespace {

bool dwordOn(const unsigned char* data, std::size_t size)
{
    if (size != 4)
        return false;
    return (data[0] | data[1] | data[2] | data[3]) != 0;
}

bool decimalTextOn(const unsigned char* data, std::size_t size)
{
    // The registry may or may not count the terminating NUL; any NULs end
    // the text.
    std::size_t length = 0;
    while (length < size && data[length] != '\0')
        ++length;
    for (std::size_t i = length; i < size; ++i) {
        if (data[i] != '\0')
            return false;
    }
    if (length == 0)
        return false;
    bool nonZero = false;
    for (std::size_t i = 0; i < length; ++i) {
        if (data[i] < '0' || data[i] > '9')
            return false;
        nonZero = nonZero || data[i] != '0';
    }
    return nonZero;
}

}  // namespace

bool storedFlagOn(std::uint32_t type, const unsigned char* data, std::size_t size)
{
    if (type == registryDwordType)
        return dwordOn(data, size);
    if (type == registryTextType)
        return decimalTextOn(data, size);
    return false;
}
