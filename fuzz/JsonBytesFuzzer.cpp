// Any bytes: jsoncpp parses them (default settings or strict mode, chosen by
// the lowest bit of the first byte; the first byte stays part of the text, so
// a seed document keeps its meaning and leading white space of either parity
// selects either mode), then every reader's pointer variant reads the value. No
// reader may crash, leak or let an exception out; a failure must carry one of
// the documented messages; the reference variant must end the same way and
// leave the same partial result. What reads successfully (and holds no empty
// item entry) is written, parsed, read and written again: the two texts must
// be identical. The media info, transition effect and track item readers
// must also agree with a plain reading of their rules (ReaderOracle.h). A text holding a NUL character is written only up to it, so
// an entity read from such texts is normalised by its first write: for it the
// second and third writes must be identical instead. The document checker
// must report an error that ends the read exactly when the reader fails, with
// the reader's message.

#include "FuzzSupport.h"
#include "ReaderOracle.h"

#include <Orv/TimelineEngineModel/Serialization/Json/JsonDocumentChecker.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToMediaInfoConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTrackItemConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTransitionEffectConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/MediaInfoToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TimelineToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackItemToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TrackToJsonConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/TransitionEffectToJsonConverter.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Orv::TimelineEngineModel;
using namespace Orv::TimelineEngineModel::Serialization::Json;
using Orv::Fuzz::Fail;
using Orv::Fuzz::JsonObject;
using Orv::Fuzz::Result;

// How a pointer variant `New()` makes its fresh target: the timeline, track
// and track item readers create the object themselves; the media info and
// transition effect readers fill the one that the pointer holds.
template <typename T>
std::unique_ptr<T> EmptyTarget() {
    return nullptr;
}
template <>
std::unique_ptr<MediaInfo> EmptyTarget<MediaInfo>() {
    return std::make_unique<MediaInfo>();
}
template <>
std::unique_ptr<TransitionEffect> EmptyTarget<TransitionEffect>() {
    return std::make_unique<TransitionEffect>();
}

// True when some string value in `value` holds a NUL character.
bool HoldsNul(const JsonObject& value) {
    if (value.isString()) {
        const char* begin = nullptr;
        const char* end = nullptr;
        value.getString(&begin, &end);
        return std::find(begin, end, '\0') != end;
    }
    if (value.isArray() || value.isObject()) {
        for (const JsonObject& element : value) {
            if (HoldsNul(element)) {
                return true;
            }
        }
    }
    return false;
}

// Writes `entity`, parses the text strictly, reads it back and writes it
// again; returns the second text after checking it equals the first.
template <typename Writer, typename Reader, typename T>
std::string WriteReadWrite(const T& entity, bool requireSameText) {
    const std::string first = Orv::Fuzz::WriteOrFail<Writer>(entity);
    JsonObject parsed;
    if (!Orv::Fuzz::Parse(first, true, parsed)) {
        Fail("written text does not parse in strict mode", first);
    }
    std::unique_ptr<T> again = EmptyTarget<T>();
    const Result read = Reader().To(parsed, again);
    if (!read || !again) {
        Fail("written text does not read back", first, read.ErrorMessage());
    }
    const std::string second = Orv::Fuzz::WriteOrFail<Writer>(*again);
    if (requireSameText && first != second) {
        Fail("write, read, write does not give the same text", first, second);
    }
    return second;
}

template <typename Writer, typename Reader, typename T>
void RoundTrip(const T& entity, bool readFromNul) {
    if (!readFromNul) {
        WriteReadWrite<Writer, Reader>(entity, true);
        return;
    }
    std::unique_ptr<T> normalised = EmptyTarget<T>();
    JsonObject parsed;
    Orv::Fuzz::Parse(WriteReadWrite<Writer, Reader>(entity, false), true, parsed);
    if (!Reader().To(parsed, normalised) || !normalised) {
        Fail("a rewritten text does not read back");
    }
    WriteReadWrite<Writer, Reader>(*normalised, true);
}

// The reference variant on a default object must end as the pointer variant
// did: the same failure text (thrown rather than returned) and the same
// partial result.
template <typename Reader, typename T>
void CompareWithReferenceVariant(const JsonObject& root, const Result& pointerResult, const T& pointerTarget) {
    T target;
    std::string thrown;
    bool threw = false;
    try {
        const Result result = Reader().To(root, target);
        if (!result) {
            Fail("a reference variant returned a failed result instead of throwing", result.ErrorMessage());
        }
    } catch (const std::exception& error) {
        threw = true;
        thrown = error.what();
    }
    if (threw == static_cast<bool>(pointerResult) || (threw && thrown != pointerResult.ErrorMessage())) {
        Fail("pointer and reference variants disagree", pointerResult.ErrorMessage(), thrown);
    }
    if (!(target == pointerTarget)) {
        Fail("pointer and reference variants leave different results");
    }
}

// The reader's outcome (`result`, `target`) against the plain reading.
template <typename T>
void CompareWithOracle(const JsonObject& root, const Result& result, const T& target) {
    T expected;
    const std::string failure = Orv::Fuzz::Oracle::Read(root, expected);
    if (failure.empty() != static_cast<bool>(result) || (!result && failure != result.ErrorMessage())) {
        Fail("a reader ends otherwise than its rules say", result.ErrorMessage(), failure);
    }
    if (!(expected == target)) {
        Fail("a reader assigns otherwise than its rules say");
    }
}
template <>
void CompareWithOracle<Timeline>(const JsonObject&, const Result&, const Timeline&) {}
template <>
void CompareWithOracle<Track>(const JsonObject&, const Result&, const Track&) {}

template <typename Reader, typename Writer, typename T>
Result ReadEntity(const JsonObject& root, bool holdsNul) {
    std::unique_ptr<T> target = EmptyTarget<T>();
    const Result result = Reader().To(root, target);
    Orv::Fuzz::CheckReaderFailure(result);
    if (!target) {
        // Only an allocation failure before the new object existed could
        // leave the pointer empty.
        Fail("a reader left its target pointer empty", result.ErrorMessage());
    }
    CompareWithReferenceVariant<Reader>(root, result, *target);
    CompareWithOracle(root, result, *target);
    if (result && Orv::Fuzz::HasNoEmptyEntry(*target)) {
        RoundTrip<Writer, Reader>(*target, holdsNul);
    }
    return result;
}

// The track item reader has no reference variant and makes an item of the kind
// that "_type" names.
Result ReadTrackItem(const JsonObject& root, bool holdsNul) {
    std::unique_ptr<TrackItem> item;
    const Result result = JsonToTrackItemConverter().To(root, item);
    Orv::Fuzz::CheckReaderFailure(result);
    std::unique_ptr<TrackItem> expected;
    const std::string failure = Orv::Fuzz::Oracle::Read(root, expected);
    if (failure.empty() != static_cast<bool>(result) || (!result && failure != result.ErrorMessage())) {
        Fail("the track item reader ends otherwise than its rules say", result.ErrorMessage(), failure);
    }
    if (static_cast<bool>(item) != static_cast<bool>(expected) || (item && !(*item == *expected))) {
        Fail("the track item reader makes another item than its rules say");
    }
    if (!result) {
        return result;
    }
    if (!item) {
        Fail("the track item reader succeeded without an item");
    }
    RoundTrip<TrackItemToJsonConverter, JsonToTrackItemConverter>(*item, holdsNul);
    return result;
}

// The checker's errors outside track items (whose failures a track reader
// absorbs) against the reader's result; `itemsAbsorb` for a timeline or track.
void CompareWithChecker(const std::string& text, DocumentKind kind, const Result& result, bool itemsAbsorb) {
    std::vector<JsonDiagnostic> diagnostics;
    if (!JsonDocumentChecker().Check(text, kind, diagnostics)) {
        Fail("the document checker failed");
    }
    std::string failure;
    for (const JsonDiagnostic& d : diagnostics) {
        const bool ends = !itemsAbsorb || d.pointer.find("/items/") == std::string::npos;
        if (d.severity == JsonDiagnostic::Severity::Error && ends && d.code.compare(0, 5, "json-") != 0) {
            failure = d.message;
        }
    }
    const std::string expected = std::string("fails with \"") + result.ErrorMessage() + "\"";
    if (failure.empty() != static_cast<bool>(result) || (!result && failure.find(expected) == std::string::npos)) {
        Fail("the document checker disagrees with the reader", result.ErrorMessage(), failure);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool strict = (data[0] & 1) != 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    JsonObject root;
    // A failed parse still leaves a value to read.
    const bool checkable = Orv::Fuzz::Parse(text, strict, root) && !strict;

    const bool holdsNul = HoldsNul(root);

    const Result results[] = {
        ReadEntity<JsonToTimelineConverter, TimelineToJsonConverter, Timeline>(root, holdsNul),
        ReadEntity<JsonToTrackConverter, TrackToJsonConverter, Track>(root, holdsNul),
        ReadTrackItem(root, holdsNul),
        ReadEntity<JsonToMediaInfoConverter, MediaInfoToJsonConverter, MediaInfo>(root, holdsNul),
        ReadEntity<JsonToTransitionEffectConverter, TransitionEffectToJsonConverter, TransitionEffect>(root, holdsNul)};
    const DocumentKind kinds[] = {DocumentKind::Timeline, DocumentKind::Track, DocumentKind::TrackItem,
                                  DocumentKind::MediaInfo, DocumentKind::TransitionEffect};
    for (std::size_t i = 0; checkable && i < std::size(kinds); ++i) {
        CompareWithChecker(text, kinds[i], results[i], i < 2);
    }
    return 0;
}
