#pragma once

#include <Orv/BusinessEntityModel/BaseTypes/Export.h>

#include <string>
#include <utility>

namespace Orv::BusinessEntityModel::BaseTypes {

// A string identifier, compared by its text. The empty text is the empty
// identifier, the one that Empty() returns.
class ORV_BASE_TYPES_API Identifier {
public:
    Identifier() = default;
    explicit Identifier(const std::string& value) : value(value) {}
    explicit Identifier(std::string&& value) noexcept : value(std::move(value)) {}

    Identifier(const Identifier&) = default;
    Identifier(Identifier&&) noexcept = default;
    Identifier& operator=(const Identifier&) = default;
    Identifier& operator=(Identifier&&) noexcept = default;
    ~Identifier() = default;

    // The process-wide empty identifier, created on first use.
    static const Identifier& Empty() {
        static const Identifier empty;
        return empty;
    }

    // A random version-4 UUID in lowercase text.
    static Identifier Generate();

    bool IsEmpty() const noexcept { return value.empty(); }

    const std::string& Value() const noexcept { return value; }
    operator std::string() const { return value; }

private:
    std::string value;
};

inline bool operator==(const Identifier& lhs, const Identifier& rhs) noexcept {
    return lhs.Value() == rhs.Value();
}

inline bool operator!=(const Identifier& lhs, const Identifier& rhs) noexcept {
    return !(lhs == rhs);
}

}  // namespace Orv::BusinessEntityModel::BaseTypes
