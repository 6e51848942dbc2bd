#pragma once

#include <string>
#include <utility>

namespace Orv::Common::Serialization {

// Outcome of one conversion. A failed result carries the text of the exception
// that ended the conversion, unchanged. Marked [[nodiscard]]: a conversion
// whose outcome is ignored is almost always a bug; cast to void where a
// failure is deliberately absorbed.
class [[nodiscard]] Result {
public:
    Result() = default;

    explicit Result(const char* errorMessage)
        : success(false), errorMessage(errorMessage != nullptr ? errorMessage : "") {}

    explicit Result(const std::string& errorMessage) : success(false), errorMessage(errorMessage) {}

    operator bool() const noexcept { return success; }

    const char* ErrorMessage() const noexcept { return errorMessage.c_str(); }

private:
    bool success = true;
    std::string errorMessage;
};

}  // namespace Orv::Common::Serialization
