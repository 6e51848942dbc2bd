#pragma once

// Textual changes to a written timeline document that exercise the readers'
// leniency: escaped and duplicate keys, other JSON types, comments (and the
// token jsoncpp drops after one), byte order marks, surrogates, nesting,
// failing integers. Shared by the text reader's fuzz target (its seeds) and
// the golden recording.

#include <string>

namespace Orv::Testing {

inline void Replace(std::string& text, const std::string& what, const std::string& with) {
    const auto at = text.find(what);
    if (at != std::string::npos) {
        text.replace(at, what.size(), with);
    }
}

inline constexpr int PerturbationCount = 24;

// Each perturbation rewrites the first place it finds.
inline std::string Perturb(std::string text, int kind) {
    const std::string open = R"("tracks":[)";
    switch (kind) {
        case 0: Replace(text, R"("id":)", R"("\u0069d":)"); break;
        case 1: text.insert(1, R"("duration":"7","id":5,"tracks":"x",)"); break;
        case 2: text.insert(text.size() - 1, R"(,"duration":" +12x","mediaInfos":[null,{"limitIn":"3"}])"); break;
        case 3: text.insert(1, R"("x":{"a":[1,-2.5e3,0.1E+2,true,false,null,"\u00e9\n"],"b":{}},)"); break;
        case 4: Replace(text, R"("items":[)", R"("items":[null,)"); break;
        case 5: Replace(text, R"("items":[)", R"("items":[5,)"); break;
        case 6: Replace(text, R"("videoIn":")", R"("videoIn":"x)"); break;
        case 7: text = "/* c */" + text + "// end"; break;
        case 8: Replace(text, "}]", "},]"); break;
        case 9: text = "\xEF\xBB\xBF" + text; break;
        case 10: text += " {}"; break;
        case 11: Replace(text, R"("id":")", R"("id":"\u0000\ud83d\ude00\t)"); break;
        case 12: Replace(text, R"("id":")", R"("id":"\ud800)"); break;
        case 13: Replace(text, "MediaSummaryItem", "FxAudioTransitionItem"); break;
        case 14: Replace(text, "Transition", "Transit\\u0069on"); break;
        case 15: text.insert(1, R"("deep":)" + std::string(130, '[') + std::string(130, ']') + ","); break;
        case 16: Replace(text, open, open + R"({"items":[{"_type":"MediaSummaryItem","x":1e400}]},)"); break;
        case 17: Replace(text, R"("duration":")", R"("duration":"-9223372036854775809)"); break;
        case 18: text = " null "; break;
        case 19: Replace(text, open, R"("tracks":[{"id":"t","id":"u","items":[{"id":"i","_type":5}]},)"); break;
        case 20: Replace(text, R"(,"tracks":)", R"( /*c*/ "x" "tracks":)"); break;
        case 21: text = "\xEF\xBB\xBF\xEF\xBB\xBF" + text; break;
        case 22: text += "\r"; break;
        case 23: Replace(text, open, R"("tracks":[{"id":"t" // c)" "\n" R"(5 "items":[]},)"); break;
        default: break;
    }
    return text;
}

}  // namespace Orv::Testing
