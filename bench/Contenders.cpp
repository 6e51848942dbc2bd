#include "Contenders.h"

#include <cctype>
#include <charconv>
#include <stdexcept>

namespace Orv::Bench {

std::int64_t ParseInteger(const char* text, std::size_t length) {
    const char* p = text;
    const char* const end = text + length;
    while (p != end && std::isspace(static_cast<unsigned char>(*p))) {
        ++p;
    }
    if (p != end && *p == '+' && end - p > 1 && *(p + 1) != '-') {
        ++p;
    }
    std::int64_t value = 0;
    const auto result = std::from_chars(p, end, value);
    if (result.ec == std::errc::invalid_argument) {
        throw std::invalid_argument("stoll");
    }
    if (result.ec == std::errc::result_out_of_range) {
        throw std::out_of_range("stoll");
    }
    return value;
}

}  // namespace Orv::Bench
