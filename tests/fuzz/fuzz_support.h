// What every fuzz target uses: reading its input as typed values, and
// checking a property of what it parsed.
//
// A target's input is bytes that it takes apart with FuzzInput, so that the
// same bytes mean the same case in libFuzzer (make fuzz) and in the corpus
// replay (make test). Taking more than there is gives zeros and empty text,
// never an error: every input is a case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// A property that does not hold is a fault: its description goes to stderr
// and the process aborts, which libFuzzer reports with the input saved and
// the replay with the input's name.
inline void expectProperty(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "property does not hold: %s\n", what);
    std::abort();
}

inline void expectProperty(bool holds, const std::string& what) { expectProperty(holds, what.c_str()); }

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : next(data), left(size) {}

    std::uint8_t byte()
    {
        if (left == 0)
            return 0;
        --left;
        return *next++;
    }

    // An integer or a double from as many bytes as it has, little-endian.
    template <typename Number>
    Number value()
    {
        std::uint64_t bits = 0;
        for (std::size_t i = 0; i < sizeof(Number); ++i)
            bits |= std::uint64_t(byte()) << (8 * i);
        Number result;
        std::memcpy(&result, &bits, sizeof result);
        return result;
    }

    // Bytes up to the next NUL (taken and left out) or the end.
    std::string text()
    {
        std::string taken;
        while (left > 0) {
            const std::uint8_t b = byte();
            if (b == 0)
                break;
            taken += char(b);
        }
        return taken;
    }

    // count bytes, or fewer at the end.
    std::string bytes(std::size_t count)
    {
        if (count > left)
            count = left;
        std::string taken(reinterpret_cast<const char*>(next), count);
        next += count;
        left -= count;
        return taken;
    }

    std::size_t remaining() const { return left; }

private:
    const std::uint8_t* next;
    std::size_t left;
};
