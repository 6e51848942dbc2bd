#pragma once

#include "../Format/IntegerText.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// What the readers make of an integer text (ParseInteger), and whether
// writing the result gives the same text back.
struct IntegerTextCheck {
    enum class Outcome {
        Canonical,   // the text the writer writes for its value
        Suffix,      // digits, then something else that is ignored: "12abc"
        OtherForm,   // the whole text read, but written differently: " 7", "+7", "007", "-0"
        NoDigits,    // the read fails
        OutOfRange,  // the read fails
    };

    Outcome outcome = Outcome::Canonical;
    int64_t value = 0;
    std::string failure;  // the failure's text, for NoDigits and OutOfRange

    static IntegerTextCheck Of(std::string_view text) {
        IntegerTextCheck check;
        try {
            check.value = ParseInteger(text.data(), text.data() + text.size());
        } catch (const std::invalid_argument& error) {
            check.outcome = Outcome::NoDigits;
            check.failure = error.what();
            return check;
        } catch (const std::out_of_range& error) {
            check.outcome = Outcome::OutOfRange;
            check.failure = error.what();
            return check;
        }
        if (text == IntegerText(check.value).Text()) {
            return check;
        }
        check.outcome = ReadsToTheEnd(text) ? Outcome::OtherForm : Outcome::Suffix;
        return check;
    }

private:
    // Whether ParseInteger's white space, sign and digits cover the text.
    static bool ReadsToTheEnd(std::string_view text) {
        std::size_t i = 0;
        while (i < text.size() && IsSpace(text[i])) {
            ++i;
        }
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
            ++i;
        }
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
        }
        return i == text.size();
    }
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
