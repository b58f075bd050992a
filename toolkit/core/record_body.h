// Storage of typed record bodies: a variant whose small bodies sit inline and whose large
// bodies sit in a deep-copying box, so that a LINE costs what a LINE needs while a record keeps
// value semantics. Callers never see the box: `RecordBody::as<T>()` and `getIf<T>()` hand out
// the body itself.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>
#include <variant>

#include "toolkit/core/node_pool.h"

namespace tracemill {

// Boxes come from the node pools, as the stored records holding them do.
template <class T>
struct PooledDelete {
    void operator()(T* value) const noexcept {
        value->~T();
        dbNodeFree(value, sizeof(T));
    }
};

template <class T>
using PooledBox = std::unique_ptr<T, PooledDelete<T>>;

template <class T, class... Args>
PooledBox<T> makePooledBox(Args&&... args) {
    static_assert(alignof(T) <= 16, "pool slots are aligned to 16 bytes");
    void* memory = dbNodeAllocate(sizeof(T));
    try {
        return PooledBox<T>(new (memory) T(std::forward<Args>(args)...));
    } catch (...) {
        dbNodeFree(memory, sizeof(T));
        throw;
    }
}

// A heap-held value with the copy semantics of the value itself. Never empty except after it
// was moved from (then it may only be assigned to or destroyed).
template <class T>
class Boxed {
public:
    Boxed() : value_(makePooledBox<T>()) {}
    explicit Boxed(T value) : value_(makePooledBox<T>(std::move(value))) {}
    Boxed(const Boxed& other) : value_(makePooledBox<T>(*other.value_)) {}
    Boxed(Boxed&&) noexcept = default;
    Boxed& operator=(const Boxed& other) {
        if (this == &other) return *this;
        if (value_) {
            *value_ = *other.value_;  // reuses the box and what the value holds
        } else {
            value_ = makePooledBox<T>(*other.value_);
        }
        return *this;
    }
    Boxed& operator=(Boxed&&) noexcept = default;

    T& get() { return *value_; }
    const T& get() const { return *value_; }

    friend bool operator==(const Boxed& a, const Boxed& b) { return *a.value_ == *b.value_; }

private:
    PooledBox<T> value_;
};

// Bodies up to this size are held inline; larger ones are boxed.
inline constexpr std::size_t kInlineBodyLimit = 48;

template <class T>
using BodySlot = std::conditional_t<(sizeof(T) <= kInlineBodyLimit), T, Boxed<T>>;

template <class T>
T& unboxBody(T& body) {
    return body;
}
template <class T>
const T& unboxBody(const T& body) {
    return body;
}
template <class T>
T& unboxBody(Boxed<T>& body) {
    return body.get();
}
template <class T>
const T& unboxBody(const Boxed<T>& body) {
    return body.get();
}

// A typed body: std::monostate (no body) or one of `Bodies`.
template <class... Bodies>
class RecordBody {
public:
    using Variant = std::variant<std::monostate, BodySlot<Bodies>...>;

    RecordBody() = default;
    template <class T, class = std::enable_if_t<(std::is_same_v<std::decay_t<T>, Bodies> || ...)>>
    RecordBody(T&& body) : value_(BodySlot<std::decay_t<T>>(std::forward<T>(body))) {}

    bool empty() const { return std::holds_alternative<std::monostate>(value_); }

    template <class T>
    bool holds() const {
        return std::holds_alternative<BodySlot<T>>(value_);
    }

    // The body when it is a T, else null.
    template <class T>
    T* getIf() {
        auto* slot = std::get_if<BodySlot<T>>(&value_);
        return slot ? &unboxBody(*slot) : nullptr;
    }
    template <class T>
    const T* getIf() const {
        const auto* slot = std::get_if<BodySlot<T>>(&value_);
        return slot ? &unboxBody(*slot) : nullptr;
    }

    // The body, which must be a T (std::bad_variant_access otherwise).
    template <class T>
    T& as() {
        return unboxBody(std::get<BodySlot<T>>(value_));
    }
    template <class T>
    const T& as() const {
        return unboxBody(std::get<BodySlot<T>>(value_));
    }

    // Replaces the body by a default T and returns it.
    template <class T>
    T& emplace() {
        return unboxBody(value_.template emplace<BodySlot<T>>());
    }

    void clear() { value_ = std::monostate{}; }

    // Calls `visitor` with the body itself (or std::monostate).
    template <class Visitor>
    decltype(auto) visit(Visitor&& visitor) {
        return std::visit([&](auto& slot) -> decltype(auto) { return visitor(unboxBody(slot)); }, value_);
    }
    template <class Visitor>
    decltype(auto) visit(Visitor&& visitor) const {
        return std::visit([&](const auto& slot) -> decltype(auto) { return visitor(unboxBody(slot)); },
                          value_);
    }

    std::size_t index() const { return value_.index(); }

    friend bool operator==(const RecordBody&, const RecordBody&) = default;

private:
    Variant value_;
};

// A record made of a header and a typed body.
template <class Header, class Body>
struct TypedRecord {
    Header header;
    Body body;

    template <class T>
    T& bodyAs() {
        return body.template as<T>();
    }
    template <class T>
    const T& bodyAs() const {
        return body.template as<T>();
    }

    friend bool operator==(const TypedRecord&, const TypedRecord&) = default;
};

} // namespace tracemill
