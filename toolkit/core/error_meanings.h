// What each error number of the toolkit means: one table for every number that toolkit code
// can leave in the context, so that every tool and the application tell a user the same thing.
#pragma once

#include <span>

namespace tracemill {

struct ErrorMeaning {
    int number;
    const char* text;  // a short English sentence without a full stop
};

// The text "unknown error" stands for a number the table does not list.
inline constexpr const char* kUnknownErrorMeaning = "unknown error";

// The meaning of an error number; kUnknownErrorMeaning for a number the table does not list.
const char* dbErrorMeaning(int number);

// The whole table, in rising order of the numbers, each number once.
std::span<const ErrorMeaning> dbErrorMeanings();

} // namespace tracemill
