#include <Orv/TimelineEngineModel/Serialization/Json/JsonFile.h>

#include <Orv/TimelineEngineModel/Serialization/Json/DocumentLimits.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonDocumentChecker.h>
#include <Orv/TimelineEngineModel/Serialization/Json/JsonTextToTimelineConverter.h>
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

#include "Frame/ConversionGuard.h"
#include "Read/JsoncppParse.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <ostream>
#include <stdexcept>

namespace Orv::TimelineEngineModel::Serialization::Json {

namespace {

using Failure = ReadReport::Failure;
using Orv::Common::Serialization::Json::Stringer;
using Orv::Common::Serialization::Json::StringerSink;

// Each object's reader, writer and document kind.
template <typename Object, typename ReaderType, typename WriterType, DocumentKind Kind>
struct ConvertersOf {
    using Reader = ReaderType;
    using Writer = WriterType;
    static constexpr DocumentKind kind = Kind;
};
template <typename Object>
struct Converters;
template <>
struct Converters<Timeline>
    : ConvertersOf<Timeline, JsonToTimelineConverter, TimelineToJsonConverter, DocumentKind::Timeline> {};
template <>
struct Converters<Track> : ConvertersOf<Track, JsonToTrackConverter, TrackToJsonConverter, DocumentKind::Track> {};
template <>
struct Converters<TrackItem>
    : ConvertersOf<TrackItem, JsonToTrackItemConverter, TrackItemToJsonConverter, DocumentKind::TrackItem> {};
template <>
struct Converters<MediaInfo>
    : ConvertersOf<MediaInfo, JsonToMediaInfoConverter, MediaInfoToJsonConverter, DocumentKind::MediaInfo> {};
template <>
struct Converters<TransitionEffect> : ConvertersOf<TransitionEffect, JsonToTransitionEffectConverter,
                                                   TransitionEffectToJsonConverter, DocumentKind::TransitionEffect> {};

// A failure before the text is read, thrown on the way and reported at the
// edge.
struct LoadFailure : std::runtime_error {
    LoadFailure(Failure failure, const std::string& message) : std::runtime_error(message), failure(failure) {}
    Failure failure;
};

std::string SystemError(const char* action, const std::string& path, int error) {
    return std::string(action) + " " + QuotedText(path, 256) + ": " + std::strerror(error);
}

LoadFailure TooLarge(const std::string& what) {
    return LoadFailure(Failure::TooLarge, what + " is longer than " + std::to_string(MaxDocumentSize) +
                                              " bytes, the longest document read");
}

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) {
            close(fd);
        }
    }
};

// Keeps Padding spare bytes after the text, so that the fast reader reads it
// where it lies.
void Pad(std::string& text) {
    if (text.capacity() - text.size() < JsonTextToTimelineConverter::Padding) {
        text.reserve(text.size() + JsonTextToTimelineConverter::Padding);
    }
}

// The whole file, in a buffer as large as the file says it is (grown if it
// grows meanwhile).
std::string LoadFile(const std::string& path) {
    const Descriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat info {};
    if (file.fd < 0 || fstat(file.fd, &info) != 0) {
        throw LoadFailure(Failure::CannotOpen, SystemError("cannot open", path, errno));
    }
    if (S_ISDIR(info.st_mode)) {
        throw LoadFailure(Failure::CannotOpen, SystemError("cannot open", path, EISDIR));
    }
    if (S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) > MaxDocumentSize) {
        throw TooLarge(QuotedText(path, 256));
    }
    const std::size_t expected = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
    std::string text;
    text.reserve(expected + JsonTextToTimelineConverter::Padding);
    text.resize(expected);
    std::size_t size = 0;
    char chunk[64 * 1024];
    for (;;) {
        const bool direct = size < text.size();  // beyond the size it had: the file grew, or is no regular one
        const ssize_t got = read(file.fd, direct ? text.data() + size : chunk, direct ? text.size() - size : sizeof chunk);
        if (got <= 0) {
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                throw LoadFailure(Failure::CannotRead, SystemError("cannot read", path, errno));
            }
            break;
        }
        if (!direct) {
            text.append(chunk, static_cast<std::size_t>(got));
        }
        size += static_cast<std::size_t>(got);
        if (size > MaxDocumentSize) {
            throw TooLarge(QuotedText(path, 256));
        }
    }
    text.resize(size);  // it may have shrunk
    Pad(text);
    return text;
}

std::string LoadStream(std::istream& stream) {
    std::string text;
    char chunk[64 * 1024];
    try {
        while (stream.read(chunk, sizeof chunk) || stream.gcount() > 0) {
            if (text.size() + static_cast<std::size_t>(stream.gcount()) > MaxDocumentSize) {
                throw TooLarge("the stream");
            }
            text.append(chunk, static_cast<std::size_t>(stream.gcount()));
        }
    } catch (const std::ios_base::failure& error) {
        throw LoadFailure(Failure::CannotRead, std::string("cannot read the stream: ") + error.what());
    }
    if (stream.bad()) {
        throw LoadFailure(Failure::CannotRead, "cannot read the stream");
    }
    Pad(text);
    return text;
}

// jsoncpp's errors, "* Line 1, Column 49\n  Missing ...\n" for each, on one
// line: "Line 1, Column 49: Missing ...".
std::string OnOneLine(std::string errors) {
    const auto replace = [&](std::string_view from, std::string_view to) {
        for (std::size_t at = errors.find(from); at != std::string::npos; at = errors.find(from, at + to.size())) {
            errors.replace(at, from.size(), to);
        }
    };
    while (!errors.empty() && errors.back() == '\n') {
        errors.pop_back();
    }
    errors.erase(0, errors.compare(0, 2, "* ") == 0 ? 2 : 0);
    replace("\n* ", "; ");
    replace("\n  ", ": ");
    replace("\n", " ");
    return errors;
}

// Inside a track item, a failure fails the item alone; the timeline and
// track readers carry on. Their pointers: /tracks/N/items/M/... and
// /items/M/....
bool InsideItem(std::string_view pointer, DocumentKind kind) {
    const std::string_view items = kind == DocumentKind::Timeline ? "/tracks/" : "/";
    if (kind != DocumentKind::Timeline && kind != DocumentKind::Track) {
        return false;
    }
    if (pointer.substr(0, items.size()) != items) {
        return false;
    }
    pointer.remove_prefix(items.size());
    if (kind == DocumentKind::Timeline) {
        const std::size_t end = pointer.find('/');
        pointer.remove_prefix(end == std::string_view::npos ? pointer.size() : end + 1);
    }
    return pointer.substr(0, 6) == "items/";
}

// Where the read of `text` fails: the checker's error there.
JsonDiagnostic PlaceOfFailure(std::string_view text, DocumentKind kind) {
    std::vector<JsonDiagnostic> found;
    if (JsonDocumentChecker().Check(text, kind, found)) {
        for (JsonDiagnostic& diagnostic : found) {
            if (diagnostic.severity == JsonDiagnostic::Severity::Error && !InsideItem(diagnostic.pointer, kind)) {
                return std::move(diagnostic);
            }
        }
    }
    return JsonDiagnostic();
}

Failure FailureOf(JsonTextToTimelineConverter::Report::Failure failure) {
    using Text = JsonTextToTimelineConverter::Report::Failure;
    switch (failure) {
        case Text::None:
            return Failure::None;
        case Text::NotJson:
        case Text::ParseAborted:
            return Failure::NotJson;
        case Text::OutOfMemory:
            return Failure::OutOfMemory;
        case Text::NotTimeline:
            break;
    }
    return Failure::NotConverted;
}

// Reads a text that ends in a NUL (a std::string's), padded where it helps.
template <typename Object>
Result Convert(const std::string& text, std::unique_ptr<Object>& object, Failure& failure) {
    if constexpr (std::is_same_v<Object, Timeline>) {
        JsonTextToTimelineConverter::Report report;
        Result result = JsonTextToTimelineConverter().To(text, object, report);
        failure = FailureOf(report.failure);
        return report.failure == JsonTextToTimelineConverter::Report::Failure::NotJson
                   ? Result(OnOneLine(result.ErrorMessage()))
                   : result;
    } else {
        Orv::Common::Serialization::Json::JsonObject root;
        const auto parse = Detail::JsoncppParse::Of(text.data(), text.data() + text.size(), root);
        if (parse.outcome != Detail::JsoncppParse::Outcome::Parsed) {
            failure = Failure::NotJson;
            return Result(parse.outcome == Detail::JsoncppParse::Outcome::Refused ? OnOneLine(parse.message)
                                                                                   : parse.message);
        }
        if constexpr (std::is_same_v<Object, MediaInfo> || std::is_same_v<Object, TransitionEffect>) {
            if (!object) {
                object = std::make_unique<Object>();  // their readers fill an object, and make none
            }
        }
        Result result = typename Converters<Object>::Reader().To(root, object);
        failure = result ? Failure::None : Failure::NotConverted;
        return result;
    }
}

// The common frame of the reads: load, convert, report.
template <typename Object, typename Load>
Result Read(Load&& load, std::unique_ptr<Object>& object, ReadReport* report) noexcept {
    ReadReport ignored;
    ReadReport& out = report != nullptr ? *report : ignored;
    out = ReadReport();
    try {
        const std::string text = load();
        Result result = Convert(text, object, out.failure);
        if (!result && out.failure != Failure::OutOfMemory) {
            out.place = PlaceOfFailure(text, Converters<Object>::kind);
        }
        return result;
    } catch (const LoadFailure& failure) {
        out.failure = failure.failure;
        return Detail::FailedResult(failure.what());
    } catch (const std::bad_alloc& error) {
        out.failure = Failure::OutOfMemory;
        return Detail::FailedResult(error.what());
    } catch (const std::exception& error) {
        out.failure = Failure::NotConverted;
        return Detail::FailedResult(error.what());
    }
}

class DescriptorSink final : public StringerSink {
public:
    DescriptorSink(int fd, std::string action) : fd(fd), action(std::move(action)) {}

    void Write(const char* data, std::size_t size) override {
        while (size > 0) {
            const ssize_t written = write(fd, data, size);
            if (written < 0 && errno != EINTR) {
                throw std::runtime_error(action + ": " + std::strerror(errno));
            }
            data += written > 0 ? written : 0;
            size -= written > 0 ? static_cast<std::size_t>(written) : 0;
        }
    }

private:
    int fd;
    std::string action;
};

class StreamSink final : public StringerSink {
public:
    explicit StreamSink(std::ostream& stream) : stream(stream) {}

    void Write(const char* data, std::size_t size) override {
        if (!stream.write(data, static_cast<std::streamsize>(size))) {
            throw std::runtime_error("cannot write to the stream");
        }
    }

private:
    std::ostream& stream;
};

template <typename Object>
Result WriteTo(const Object& object, StringerSink& sink, bool pretty) noexcept {
    try {
        Stringer stringer(sink, pretty);
        const Result result = typename Converters<Object>::Writer().To(object, stringer);
        return result ? Detail::RunGuarded([&] { stringer.Flush(); }) : result;
    } catch (const std::exception& error) {
        return Detail::FailedResult(error.what());
    }
}

// A name for a new file beside `target`, not taken yet: created with the
// permissions that the umask leaves, as the target itself would be.
int CreateBeside(const std::string& target, std::string& temporary) {
    static std::atomic<unsigned> counter{0};
    const auto slash = target.rfind('/');
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target.substr(0, slash + 1) + "." + target.substr(slash + 1) + "." + std::to_string(getpid()) +
                    "." + std::to_string(counter++) + ".tmp";
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

template <typename Object>
Result ReplaceFile(const Object& object, const std::string& path, bool pretty) {
    struct stat info {};
    const bool exists = stat(path.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        const Descriptor file{open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC)};
        if (file.fd < 0) {
            return Result(SystemError("cannot write", path, errno));
        }
        DescriptorSink sink(file.fd, "cannot write " + QuotedText(path, 256));
        return WriteTo(object, sink, pretty);
    }
    std::string target = path;
    if (char resolved[PATH_MAX]; exists && realpath(path.c_str(), resolved) != nullptr) {
        target = resolved;  // through a symbolic link, to the file it names
    }
    std::string temporary;
    const Descriptor file{CreateBeside(target, temporary)};
    if (file.fd < 0) {
        return Result(SystemError("cannot write", path, errno));
    }
    if (exists && fchmod(file.fd, info.st_mode & 07777) == 0) {
        // Keeping the owner works for root only, and is no reason to give up.
        [[maybe_unused]] const int ignored = fchown(file.fd, info.st_uid, info.st_gid);
    }
    DescriptorSink sink(file.fd, "cannot write " + QuotedText(path, 256));
    Result result = WriteTo(object, sink, pretty);
    if (result && (fsync(file.fd) != 0 || rename(temporary.c_str(), target.c_str()) != 0)) {
        result = Result(SystemError("cannot write", path, errno));
    }
    if (!result) {
        unlink(temporary.c_str());
    }
    return result;
}

}  // namespace

const char* ToString(ReadReport::Failure failure) noexcept {
    switch (failure) {
        case Failure::None:
            return "none";
        case Failure::CannotOpen:
            return "cannot-open";
        case Failure::CannotRead:
            return "cannot-read";
        case Failure::TooLarge:
            return "too-large";
        case Failure::OutOfMemory:
            return "out-of-memory";
        case Failure::NotJson:
            return "not-json";
        case Failure::NotConverted:
            break;
    }
    return "not-converted";
}

template <typename Object>
Result ReadJsonFile(const std::string& path, std::unique_ptr<Object>& object, ReadReport* report) noexcept {
    return Read([&] { return LoadFile(path); }, object, report);
}

template <typename Object>
Result ReadJson(std::istream& stream, std::unique_ptr<Object>& object, ReadReport* report) noexcept {
    return Read([&] { return LoadStream(stream); }, object, report);
}

template <typename Object>
Result ReadJsonText(std::string_view text, std::unique_ptr<Object>& object, ReadReport* report) noexcept {
    return Read(
        [&] {
            std::string copy;
            copy.reserve(text.size() + JsonTextToTimelineConverter::Padding);
            copy.assign(text);
            return copy;
        },
        object, report);
}

template <typename Object>
Result WriteJsonFile(const Object& object, const std::string& path, bool pretty) noexcept {
    try {
        return ReplaceFile(object, path, pretty);
    } catch (const std::exception& error) {
        return Detail::FailedResult(error.what());
    }
}

template <typename Object>
Result WriteJson(const Object& object, std::ostream& stream, bool pretty) noexcept {
    StreamSink sink(stream);
    return WriteTo(object, sink, pretty);
}

template <typename Object>
Result WriteJson(const Object& object, int descriptor, bool pretty) noexcept {
    try {
        DescriptorSink sink(descriptor, "cannot write");
        return WriteTo(object, sink, pretty);
    } catch (const std::exception& error) {
        return Detail::FailedResult(error.what());
    }
}

#define ORV_JSON_FILE_FUNCTIONS(Object)                                                                           \
    template ORV_TIMELINE_JSON_API Result ReadJsonFile<Object>(const std::string&, std::unique_ptr<Object>&, ReadReport*) noexcept;     \
    template ORV_TIMELINE_JSON_API Result ReadJson<Object>(std::istream&, std::unique_ptr<Object>&, ReadReport*) noexcept;              \
    template ORV_TIMELINE_JSON_API Result ReadJsonText<Object>(std::string_view, std::unique_ptr<Object>&, ReadReport*) noexcept;       \
    template ORV_TIMELINE_JSON_API Result WriteJsonFile<Object>(const Object&, const std::string&, bool) noexcept;                     \
    template ORV_TIMELINE_JSON_API Result WriteJson<Object>(const Object&, std::ostream&, bool) noexcept;                              \
    template ORV_TIMELINE_JSON_API Result WriteJson<Object>(const Object&, int, bool) noexcept;

ORV_JSON_FILE_FUNCTIONS(Timeline)
ORV_JSON_FILE_FUNCTIONS(Track)
ORV_JSON_FILE_FUNCTIONS(TrackItem)
ORV_JSON_FILE_FUNCTIONS(MediaInfo)
ORV_JSON_FILE_FUNCTIONS(TransitionEffect)

}  // namespace Orv::TimelineEngineModel::Serialization::Json
