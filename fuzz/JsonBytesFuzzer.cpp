// Any bytes, parsed by jsoncpp (strictly when the first byte is odd), then read
// by every reader: a failure must carry a documented message, the reference
// variant must end the same way with the same partial result, and the media
// info, transition effect and track item readers must agree with the plain
// reading of their rules. What reads successfully is written, read and written
// again: the two texts must be identical. Where the default settings parse the
// text, the document checker must report an error that ends the read exactly
// when the reader fails, with the reader's message.

#include "FuzzSupport.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonDocumentChecker.h>

#include <iterator>
#include <vector>

namespace {

using namespace Orv::Fuzz;

// Read, write: `written` must come back. A NUL (a NUL byte or \u0000 in the
// input) ends a written text, so such an entity may need one round trip first.
template <typename Writer, typename Reader, typename T>
void RoundTrip(std::string written, bool mayHoldNul) {
    for (int round = 1;; ++round) {
        std::unique_ptr<T> read;
        const Result result = Read<Reader>(written, read);
        Require(result && read, "written text does not read back", written, result.ErrorMessage());
        const std::string again = Write<Writer>(*read);
        if (again == written) {
            return;
        }
        Require(round == 1 && mayHoldNul, "write, read, write does not give the same text", written, again);
        written = again;
    }
}

template <typename Reader, typename Writer, typename T>
Result Check(const JsonObject& root, bool holdsNul) {
    std::unique_ptr<T> target = NewTarget<T>();
    const Result result = Reader().To(root, target);
    CheckReaderFailure(result);
    Require(target || (!result && std::is_same_v<T, TrackItem>), "a reader left its target empty");
    if constexpr (!std::is_same_v<T, TrackItem>) {
        T reference;
        const std::string thrown = FailureOf([&] {
            Require(Reader().To(root, reference), "a reference variant returned a failure instead of throwing");
        });
        RequireEqual(result.ErrorMessage(), thrown, "pointer and reference variants end differently");
        Require(reference == *target, "pointer and reference variants leave different results");
    }
    if constexpr (!std::is_same_v<T, Timeline> && !std::is_same_v<T, Track>) {
        std::unique_ptr<T> expected = NewTarget<T>();
        RequireEqual(result.ErrorMessage(), ReadPlainly(root, expected), "a reader ends otherwise than its rules say");
        Require(expected ? target && *target == *expected : !target, "a reader assigns otherwise than its rules say");
    }
    // The writers refuse an entry without an item, which a list reader leaves
    // when it cannot read an item's kind.
    Stringer stringer;
    const Result written = result ? Writer().To(*target, stringer) : result;
    if (result && std::string(written.ErrorMessage()) != "track item entry holds no item") {
        Require(written && stringer.Depth() == 0, "a write failed or left a scope open", written.ErrorMessage());
        RoundTrip<Writer, Reader, T>(stringer.ToString(), holdsNul);
    }
    return result;
}

// The checker's errors outside track items (whose failures a track reader
// absorbs) against the reader's result; `itemsAbsorb` for a timeline or track.
void CompareWithChecker(const std::string& text, DocumentKind kind, const Result& result, bool itemsAbsorb) {
    std::vector<JsonDiagnostic> diagnostics;
    Require(JsonDocumentChecker().Check(text, kind, diagnostics), "the document checker failed");
    std::string failure;
    for (const JsonDiagnostic& d : diagnostics) {
        const bool ends = !itemsAbsorb || d.pointer.find("/items/") == std::string::npos;
        if (d.severity == JsonDiagnostic::Severity::Error && ends && d.code.compare(0, 5, "json-") != 0) {
            failure = d.message;
        }
    }
    const std::string expected = std::string("fails with \"") + result.ErrorMessage() + "\"";
    Require(failure.empty() == static_cast<bool>(result) && (result || failure.find(expected) != std::string::npos),
            "the document checker disagrees with the reader", result.ErrorMessage(), failure);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    JsonObject root;  // a failed parse still leaves a value to read
    const bool strict = size != 0 && (data[0] & 1) != 0;
    const bool checkable = Parse(text, strict, root) && !strict;
    const bool holdsNul = text.find('\0') != std::string::npos || text.find("\\u0000") != std::string::npos;
    const Result results[] = {
        Check<JsonToTimelineConverter, TimelineToJsonConverter, Timeline>(root, holdsNul),
        Check<JsonToTrackConverter, TrackToJsonConverter, Track>(root, holdsNul),
        Check<JsonToTrackItemConverter, TrackItemToJsonConverter, TrackItem>(root, holdsNul),
        Check<JsonToMediaInfoConverter, MediaInfoToJsonConverter, MediaInfo>(root, holdsNul),
        Check<JsonToTransitionEffectConverter, TransitionEffectToJsonConverter, TransitionEffect>(root, holdsNul)};
    const DocumentKind kinds[] = {DocumentKind::Timeline, DocumentKind::Track, DocumentKind::TrackItem,
                                  DocumentKind::MediaInfo, DocumentKind::TransitionEffect};
    for (std::size_t i = 0; checkable && i < std::size(kinds); ++i) {
        CompareWithChecker(text, kinds[i], results[i], i < 2);
    }
    return 0;
}
