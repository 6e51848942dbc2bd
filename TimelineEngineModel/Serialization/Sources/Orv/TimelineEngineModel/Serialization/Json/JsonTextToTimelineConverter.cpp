#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonToTimelineConverter.h>

#include "Frame/ConversionGuard.h"
#include "Read/JsoncppParse.h"
#include "TextRead/FastTimelineReader.h"

#include <cstring>
#include <exception>
#include <memory>
#include <new>

namespace Orv::TimelineEngineModel::Serialization::Json {

namespace {

using Report = JsonTextToTimelineConverter::Report;
using Result = JsonTextToTimelineConverter::Result;

// The route users took before this converter: jsoncpp at its default
// settings, then JsonToTimelineConverter. `timeline` is touched only when the
// parse succeeded.
Result ReadWithJsonCpp(const char* begin, const char* end, std::unique_ptr<Timeline>& timeline,
                       Report& report) noexcept {
    report.path = Report::Path::Fallback;
    JsonToTimelineConverter::JsonObject root;
    try {
        const auto parse = Detail::JsoncppParse::Of(begin, end, root);
        if (parse.outcome != Detail::JsoncppParse::Outcome::Parsed) {
            report.failure = parse.outcome == Detail::JsoncppParse::Outcome::Refused ? Report::Failure::NotJson
                                                                                      : Report::Failure::ParseAborted;
            return Detail::FailedResult(parse.message.c_str());
        }
    } catch (const std::bad_alloc& error) {
        report.failure = Report::Failure::OutOfMemory;
        return Detail::FailedResult(error.what());
    } catch (const std::exception& error) {
        report.failure = Report::Failure::ParseAborted;
        return Detail::FailedResult(error.what());
    }
    Result result = JsonToTimelineConverter().To(root, timeline);
    report.failure = result ? Report::Failure::None : Report::Failure::NotTimeline;
    return result;
}

}  // namespace

JsonTextToTimelineConverter::~JsonTextToTimelineConverter() = default;

JsonTextToTimelineConverter::Result JsonTextToTimelineConverter::To(const std::string& rhs,
                                                                    std::unique_ptr<Timeline>& timeline) const noexcept {
    Report report;
    return To(rhs, timeline, report);
}

JsonTextToTimelineConverter::Result JsonTextToTimelineConverter::To(std::string&& source,
                                                                    std::unique_ptr<Timeline>& timeline) const noexcept {
    Report report;
    return To(static_cast<const std::string&>(source), timeline, report);
}

JsonTextToTimelineConverter::Result JsonTextToTimelineConverter::To(std::string_view text,
                                                                    std::unique_ptr<Timeline>& timeline) const noexcept {
    Report report;
    return To(text, timeline, report);
}

JsonTextToTimelineConverter::Result JsonTextToTimelineConverter::To(const char* text,
                                                                    std::unique_ptr<Timeline>& timeline) const noexcept {
    return To(text != nullptr ? std::string_view(text) : std::string_view(), timeline);
}

JsonTextToTimelineConverter::Result JsonTextToTimelineConverter::To(const std::string& text,
                                                                    std::unique_ptr<Timeline>& timeline,
                                                                    Report& report) const noexcept {
    return Read(text.data(), text.size(), text.capacity() - text.size() + 1, timeline, report);  // and its NUL
}

JsonTextToTimelineConverter::Result JsonTextToTimelineConverter::To(std::string_view text,
                                                                    std::unique_ptr<Timeline>& timeline,
                                                                    Report& report) const noexcept {
    return Read(text.data(), text.size(), 0, timeline, report);
}

// A text followed by Padding readable bytes (a std::string's spare capacity
// is readable) is parsed in place; any other is copied into the parser's own
// padded buffer, which it keeps for the next read. jsoncpp may look one byte
// past a text that ends in "\r": a std::string has its NUL there, any other
// text is copied into one first.
JsonTextToTimelineConverter::Result JsonTextToTimelineConverter::Read(const char* text, std::size_t size,
                                                                      std::size_t spare,
                                                                      std::unique_ptr<Timeline>& timeline,
                                                                      Report& report) const noexcept {
    report = Report();
    std::string copy;
    try {
        auto read = std::make_unique<Timeline>();
        if (Detail::FastTimelineReader::Read(text, size, spare >= Padding, *read, report.anomaly)) {
            timeline = std::move(read);
            return Result();
        }
        if (spare == 0) {
            copy.assign(text, size);
            text = copy.data();
        }
    } catch (const std::bad_alloc& error) {
        if (spare == 0 && copy.empty()) {
            report.path = Report::Path::Fallback;
            report.failure = Report::Failure::OutOfMemory;
            return Detail::FailedResult(error.what());  // jsoncpp cannot be given the text safely
        }
    } catch (...) {
        // Declined: an integer text that the reference route refuses; the
        // reference route tells which.
    }
    return ReadWithJsonCpp(text, text + size, timeline, report);
}

const char* ToString(JsonTextToTimelineConverter::Report::Path path) noexcept {
    return path == Report::Path::Fast ? "fast" : "fallback";
}

const char* ToString(JsonTextToTimelineConverter::Report::Failure failure) noexcept {
    switch (failure) {
        case Report::Failure::None:
            return "none";
        case Report::Failure::NotJson:
            return "not-json";
        case Report::Failure::ParseAborted:
            return "parse-aborted";
        case Report::Failure::NotTimeline:
            return "not-timeline";
        case Report::Failure::OutOfMemory:
            break;
    }
    return "out-of-memory";
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
