#include "error_meaning.h"

namespace tracemill::tmdump {

namespace {

struct Meaning {
    int number;
    const char* text;
};

constexpr Meaning kMeanings[] = {
    {-1, "the toolkit's global state cannot be allocated"},
    {9, "the first 32,768-byte work buffer cannot be allocated"},
    {10, "the second 32,768-byte work buffer cannot be allocated"},
    {11, "the first 131,072-byte work buffer cannot be allocated"},
    {12, "the second 131,072-byte work buffer cannot be allocated"},
    {182, "the initialisation data cannot be opened"},
    {183, "the initialisation data is damaged (wrong banner or too short)"},
    {216, "the scratch block cannot be allocated"},
    {284, "the system context cannot be allocated"},
    {293, "no memory for the built-in shape fonts"},
    {294, "the built-in shape fonts cannot be created"},
};

} // namespace

const char* errorMeaning(int number) {
    for (const Meaning& m : kMeanings) {
        if (m.number == number) return m.text;
    }
    return "unknown error";
}

} // namespace tracemill::tmdump
