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

// Each object's reader, writer and document kind, which share its name.
template <typename Object>
struct Converters;
#define ORV_CONVERTERS(Object)                                   \
    template <>                                                  \
    struct Converters<Object> {                                  \
        using Reader = JsonTo##Object##Converter;                \
        using Writer = Object##ToJsonConverter;                  \
        static constexpr DocumentKind kind = DocumentKind::Object; \
    };
ORV_CONVERTERS(Timeline)
ORV_CONVERTERS(Track)
ORV_CONVERTERS(TrackItem)
ORV_CONVERTERS(MediaInfo)
ORV_CONVERTERS(TransitionEffect)

// A failure before the text is read, thrown on the way and reported at the
// edge.
struct LoadFailure : std::runtime_error {
    LoadFailure(Failure failure, const std::string& message) : std::runtime_error(message), failure(failure) {}
    Failure failure;
};

LoadFailure SystemError(Failure failure, const char* action, const std::string& path, int error) {
    return LoadFailure(failure, std::string(action) + " " + QuotedText(path, 256) + ": " + std::strerror(error));
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
// where it lies. The parser reads into those bytes; their content does not
// change its result, but zeroed they are defined for memory checkers.
std::string&& Padded(std::string&& text) {
    const std::size_t size = text.size();
    if (text.capacity() - size < JsonTextToTimelineConverter::Padding) {
        text.reserve(size + JsonTextToTimelineConverter::Padding);
    }
    text.append(JsonTextToTimelineConverter::Padding, '\0');
    text.resize(size);
    return std::move(text);
}

// The whole file, read into a buffer as large as the file says it is, and
// on by the chunk if it grows meanwhile or is no regular file.
std::string LoadFile(const std::string& path) {
    const Descriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat info {};
    if (file.fd < 0 || fstat(file.fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        throw SystemError(Failure::CannotOpen, "cannot open", path, file.fd < 0 ? errno : EISDIR);
    }
    const std::size_t expected = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
    if (expected > MaxDocumentSize) {
        throw TooLarge(QuotedText(path, 256));
    }
    std::string text;
    text.reserve(expected + JsonTextToTimelineConverter::Padding);
    text.resize(expected);
    char chunk[64 * 1024];
    for (std::size_t size = 0;;) {
        const bool direct = size < text.size();
        const ssize_t got = read(file.fd, direct ? &text[size] : chunk, direct ? text.size() - size : sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw SystemError(Failure::CannotRead, "cannot read", path, errno);
        }
        if (got == 0) {
            text.resize(size);  // it may have shrunk
            return Padded(std::move(text));
        }
        if (!direct) {
            text.append(chunk, static_cast<std::size_t>(got));
        }
        size += static_cast<std::size_t>(got);
        if (size > MaxDocumentSize) {
            throw TooLarge(QuotedText(path, 256));
        }
    }
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
    } catch (const std::ios_base::failure&) {
        stream.setstate(std::ios::badbit);
    }
    if (stream.bad()) {
        throw LoadFailure(Failure::CannotRead, "cannot read the stream");
    }
    return Padded(std::move(text));
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

// A failure inside a track item fails the item alone: the timeline and track
// readers carry on. Such failures are at /tracks/N/items/M/... and
// /items/M/....
bool InsideItem(std::string_view pointer, DocumentKind kind) {
    if (kind == DocumentKind::Timeline && pointer.substr(0, 8) == "/tracks/") {
        const std::size_t slash = pointer.find('/', 8);
        pointer.remove_prefix(slash == std::string_view::npos ? pointer.size() : slash);
    } else if (kind != DocumentKind::Track) {
        return false;
    }
    return pointer.substr(0, 7) == "/items/";
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

// Reads a text that ends in a NUL (a std::string's).
template <typename Object>
Result Convert(const std::string& text, std::unique_ptr<Object>& object, Failure& failure) {
    using TextFailure = JsonTextToTimelineConverter::Report::Failure;
    TextFailure outcome = TextFailure::None;
    Result result;
    if constexpr (std::is_same_v<Object, Timeline>) {
        JsonTextToTimelineConverter::Report report;
        result = JsonTextToTimelineConverter().To(text, object, report);
        outcome = report.failure;
    } else {
        Orv::Common::Serialization::Json::JsonObject root;
        const auto parse = Detail::JsoncppParse::Of(text.data(), text.data() + text.size(), root);
        outcome = parse.outcome == Detail::JsoncppParse::Outcome::Refused ? TextFailure::NotJson
                  : parse.outcome == Detail::JsoncppParse::Outcome::Threw ? TextFailure::ParseAborted
                                                                           : TextFailure::None;
        if (outcome != TextFailure::None) {
            result = Result(parse.message);
        } else {
            if constexpr (std::is_same_v<Object, MediaInfo> || std::is_same_v<Object, TransitionEffect>) {
                object = object ? std::move(object) : std::make_unique<Object>();  // their readers make none
            }
            result = typename Converters<Object>::Reader().To(root, object);
            outcome = result ? TextFailure::None : TextFailure::NotTimeline;
        }
    }
    failure = outcome == TextFailure::None          ? Failure::None
              : outcome == TextFailure::OutOfMemory ? Failure::OutOfMemory
              : outcome == TextFailure::NotTimeline ? Failure::NotConverted
                                                    : Failure::NotJson;
    return outcome == TextFailure::NotJson ? Result(OnOneLine(result.ErrorMessage())) : result;
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

// Hands the text to a file descriptor or a stream; a failure ends the write
// with `action` and the reason.
class Sink final : public StringerSink {
public:
    Sink(int fd, std::ostream* stream, std::string action) : fd(fd), stream(stream), action(std::move(action)) {}

    void Write(const char* data, std::size_t size) override {
        if (stream != nullptr && !stream->write(data, static_cast<std::streamsize>(size))) {
            throw std::runtime_error(action);
        }
        while (stream == nullptr && size > 0) {
            const ssize_t written = write(fd, data, size);
            if (written < 0 && errno != EINTR) {
                throw std::runtime_error(action + ": " + std::strerror(errno));
            }
            data += std::max<ssize_t>(written, 0);
            size -= static_cast<std::size_t>(std::max<ssize_t>(written, 0));
        }
    }

private:
    int fd;
    std::ostream* stream;
    std::string action;
};

template <typename Object>
Result WriteTo(const Object& object, int fd, std::ostream* stream, const std::string& action, bool pretty) {
    Sink sink(fd, stream, action);
    Stringer stringer(sink, pretty);
    const Result result = typename Converters<Object>::Writer().To(object, stringer);
    return result ? Detail::RunGuarded([&] { stringer.Flush(); }) : result;
}

// A new file beside `target`, with the permissions that the umask leaves,
// as the target itself would have when created.
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
    const std::string action = "cannot write " + QuotedText(path, 256);
    struct stat info {};
    const bool exists = stat(path.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {  // a device or a FIFO: in place
        const Descriptor file{open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC)};
        return file.fd < 0 ? Result(action + ": " + std::strerror(errno)) : WriteTo(object, file.fd, nullptr, action, pretty);
    }
    std::string target = path;
    if (char resolved[PATH_MAX]; exists && realpath(path.c_str(), resolved) != nullptr) {
        target = resolved;  // through a symbolic link, to the file it names
    }
    std::string temporary;
    const Descriptor file{CreateBeside(target, temporary)};
    if (file.fd < 0) {
        return Result(action + ": " + std::strerror(errno));
    }
    if (exists && fchmod(file.fd, info.st_mode & 07777) == 0) {
        // Keeping the owner works for root only, and is no reason to give up.
        [[maybe_unused]] const int ignored = fchown(file.fd, info.st_uid, info.st_gid);
    }
    Result result = WriteTo(object, file.fd, nullptr, action, pretty);
    if (result && (fsync(file.fd) != 0 || rename(temporary.c_str(), target.c_str()) != 0)) {
        result = Result(action + ": " + std::strerror(errno));
    }
    if (!result) {
        unlink(temporary.c_str());
    }
    return result;
}

// Runs a write, turning what it throws into a failed Result.
template <typename Write>
Result Guarded(Write&& write) noexcept {
    try {
        return write();
    } catch (const std::exception& error) {
        return Detail::FailedResult(error.what());
    }
}

}  // namespace

const char* ToString(ReadReport::Failure failure) noexcept {
    static const char* const names[] = {"none",          "cannot-open", "cannot-read",  "too-large",
                                        "out-of-memory", "not-json",    "not-converted"};
    return names[static_cast<int>(failure)];
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
    return Read([&] { return Padded(std::string(text)); }, object, report);
}

template <typename Object>
Result WriteJsonFile(const Object& object, const std::string& path, bool pretty) noexcept {
    return Guarded([&] { return ReplaceFile(object, path, pretty); });
}

template <typename Object>
Result WriteJson(const Object& object, std::ostream& stream, bool pretty) noexcept {
    return Guarded([&] { return WriteTo(object, -1, &stream, "cannot write to the stream", pretty); });
}

template <typename Object>
Result WriteJson(const Object& object, int descriptor, bool pretty) noexcept {
    return Guarded([&] { return WriteTo(object, descriptor, nullptr, "cannot write", pretty); });
}

#define ORV_JSON_FILE_FUNCTIONS(Object)                                                                            \
    template ORV_TIMELINE_JSON_API Result ReadJsonFile(const std::string&, std::unique_ptr<Object>&,               \
                                                       ReadReport*) noexcept;                                      \
    template ORV_TIMELINE_JSON_API Result ReadJson(std::istream&, std::unique_ptr<Object>&, ReadReport*) noexcept; \
    template ORV_TIMELINE_JSON_API Result ReadJsonText(std::string_view, std::unique_ptr<Object>&,                 \
                                                       ReadReport*) noexcept;                                      \
    template ORV_TIMELINE_JSON_API Result WriteJsonFile(const Object&, const std::string&, bool) noexcept;         \
    template ORV_TIMELINE_JSON_API Result WriteJson(const Object&, std::ostream&, bool) noexcept;                  \
    template ORV_TIMELINE_JSON_API Result WriteJson(const Object&, int, bool) noexcept;
ORV_JSON_FILE_FUNCTIONS(Timeline)
ORV_JSON_FILE_FUNCTIONS(Track)
ORV_JSON_FILE_FUNCTIONS(TrackItem)
ORV_JSON_FILE_FUNCTIONS(MediaInfo)
ORV_JSON_FILE_FUNCTIONS(TransitionEffect)

}  // namespace Orv::TimelineEngineModel::Serialization::Json
