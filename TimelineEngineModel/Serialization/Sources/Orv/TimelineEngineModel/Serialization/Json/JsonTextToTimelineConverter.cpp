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

JsonTextToTimelineConverter::Result JsonTextToTimelineConverter::To(const std::string& text,
                                                                    std::unique_ptr<Timeline>& timeline,
                                                                    Report& report) const noexcept {
    return Read(text.data(), text.size(), text.capacity() - text.size(), timeline, report);
}

JsonTextToTimelineConverter::Result JsonTextToTimelineConverter::To(std::string_view text,
                                                                    std::unique_ptr<Timeline>& timeline,
                                                                    Report& report) const noexcept {
    return Read(text.data(), text.size(), 0, timeline, report);
}

// A std::string's spare capacity is readable, and its first byte is the
// terminating NUL; a padded copy ends in NUL bytes too. Either way both
// parsers find readable bytes after the text: simdjson reads ahead in whole
// blocks, and jsoncpp may look one byte past a text that ends in "\r".
JsonTextToTimelineConverter::Result JsonTextToTimelineConverter::Read(const char* text, std::size_t size,
                                                                      std::size_t spare,
                                                                      std::unique_ptr<Timeline>& timeline,
                                                                      Report& report) const noexcept {
    report = Report();
    std::unique_ptr<char[]> copy;
    try {
        if (spare < Padding) {
            copy.reset(new char[size + Padding]);
            std::memcpy(copy.get(), text, size);
            std::memset(copy.get() + size, 0, Padding);
            text = copy.get();
            spare = Padding;
        }
        if (size <= Detail::FastTimelineReader::MaxSize) {
            auto read = std::make_unique<Timeline>();
            if (Detail::FastTimelineReader::Read(text, size, *read, report.anomaly)) {
                timeline = std::move(read);
                return Result();
            }
        }
    } catch (const std::bad_alloc& error) {
        if (spare < Padding) {
            // No padded copy: jsoncpp cannot be given the text safely.
            report.path = Report::Path::Fallback;
            report.failure = Report::Failure::ParseAborted;
            return Detail::FailedResult(error.what());
        }
    } catch (...) {
        // Declined: an integer text that the reference route refuses; the
        // reference route tells which.
    }
    return ReadWithJsonCpp(text, text + size, timeline, report);
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json
