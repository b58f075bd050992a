// ScopedValue: sets a variable for the length of a scope and restores the value it had,
// however the scope is left.
#pragma once

namespace tracemill {

template <class T>
class ScopedValue {
public:
    ScopedValue(T& variable, T value) : mVariable(variable), mSaved(variable) { variable = value; }
    ~ScopedValue() { mVariable = mSaved; }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& mVariable;
    T mSaved;
};

} // namespace tracemill
