#include <Orv/TimelineEngineModel/EffectType.h>

namespace Orv::TimelineEngineModel {

namespace {

// Function-local statics: initialised on first use, thread-safely, and never
// written afterwards.
const std::string& CutText() {
    static const std::string text = "Cut";
    return text;
}

const std::string& MixText() {
    static const std::string text = "Mix";
    return text;
}

const std::string& UnknownText() {
    static const std::string text = "Unknown";
    return text;
}

}  // namespace

const std::string& ToString(EffectType type) noexcept {
    switch (type) {
        case EffectType::Cut:
            return CutText();
        case EffectType::Mix:
            return MixText();
        case EffectType::Unknown:
            break;
    }
    return UnknownText();
}

EffectType ToEffectType(const std::string& text) noexcept {
    if (text == CutText()) {
        return EffectType::Cut;
    }
    if (text == MixText()) {
        return EffectType::Mix;
    }
    return EffectType::Unknown;
}

}  // namespace Orv::TimelineEngineModel
