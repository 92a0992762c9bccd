// Helpers shared by the scene element tests: expected GL calls as name plus
// arguments, compared against the recording GL's log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl_recorder.h"

struct ExpectedCall {
    std::string name;
    std::vector<double> args;
};

inline std::string describeCalls(const std::vector<glrec::Call>& calls)
{
    std::string text;
    for (const glrec::Call& call : calls) {
        text += call.text() + "\n";
    }
    return text;
}

inline void expectCallsEqual(const std::vector<glrec::Call>& actual, const std::vector<ExpectedCall>& expected)
{
    ASSERT_EQ(actual.size(), expected.size()) << describeCalls(actual);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].name, expected[i].name) << "call " << i;
        EXPECT_EQ(actual[i].args, expected[i].args) << "call " << i << ": " << actual[i].text();
    }
}

// The whole log since the last reset or clearCalls.
inline void expectCalls(const std::vector<ExpectedCall>& expected)
{
    expectCallsEqual(glrec::calls(), expected);
}

// How the log shows a call with these arguments.
inline std::string callText(const std::string& name, const std::vector<double>& args)
{
    return glrec::Call{name, args}.text();
}

// The logged calls with the given name, in order.
inline std::vector<glrec::Call> callsNamed(const std::string& name)
{
    std::vector<glrec::Call> found;
    for (const glrec::Call& call : glrec::calls()) {
        if (call.name == name) {
            found.push_back(call);
        }
    }
    return found;
}

// The number of draws the generator made between two states: advances a copy
// of the generator from `from` until it reaches `to`, up to `limit` draws.
// Returns -1 when `to` is not reached.
inline long drawsBetween(std::uint32_t from, std::uint32_t to, long limit)
{
    std::uint32_t state = from;
    for (long draws = 0; draws <= limit; ++draws) {
        if (state == to) {
            return draws;
        }
        state = state * 214013u + 2531011u;
    }
    return -1;
}
