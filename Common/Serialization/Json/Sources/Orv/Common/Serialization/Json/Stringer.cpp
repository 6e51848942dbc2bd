#include <Orv/Common/Serialization/Json/Stringer.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace Orv::Common::Serialization::Json {

namespace {

// Bytes a character adds to its own one byte once escaped: 0 for a byte that
// is copied as is, 1 for a two-character escape (\" \\ \b \f \n \r \t), 5 for
// \u00XX. The scanners (Detail/StringerBuffer.h) find these bytes; the tables say how
// to write them.
struct EscapeTables {
    std::array<std::uint8_t, 256> extra{};
    std::array<char, 256> shortForm{};  // the letter after '\', or 0 for \u00XX
};

constexpr EscapeTables MakeEscapeTables() {
    EscapeTables tables{};
    for (int c = 0; c < 0x20; ++c) {
        tables.extra[c] = 5;
    }
    const auto setShort = [&tables](unsigned char c, char letter) {
        tables.extra[c] = 1;
        tables.shortForm[c] = letter;
    };
    setShort('"', '"');
    setShort('\\', '\\');
    setShort('\b', 'b');
    setShort('\f', 'f');
    setShort('\n', 'n');
    setShort('\r', 'r');
    setShort('\t', 't');
    return tables;
}

constexpr EscapeTables kEscape = MakeEscapeTables();
constexpr char kHexDigits[] = "0123456789abcdef";

// Length of the NUL-terminated `text` and how many bytes escaping adds to it.
struct ScanResult {
    std::size_t length;
    std::size_t extra;
};

ScanResult Scan(const char* text) noexcept {
    const std::size_t length = std::strlen(text);
    std::size_t extra = 0;
    std::size_t i = Detail::PlainPrefix(text, length);
    while (i < length) {
        extra += kEscape.extra[static_cast<unsigned char>(text[i])];
        ++i;
        i += Detail::PlainPrefix(text + i, length - i);
    }
    return {length, extra};
}

// Writes `c`, a byte that needs escaping, escaped at `out`; returns the end of
// what was written.
char* WriteEscape(char* out, unsigned char c) noexcept {
    *out++ = '\\';
    if (kEscape.shortForm[c] != 0) {
        *out++ = kEscape.shortForm[c];
    } else {
        *out++ = 'u';
        *out++ = '0';
        *out++ = '0';
        *out++ = kHexDigits[c >> 4];
        *out++ = kHexDigits[c & 0x0F];
    }
    return out;
}

// Writes the `length` bytes of `text` (no NUL among them) escaped at `out`,
// which must have room for the escaped text and returns the end of what was
// written. Runs of plain bytes are copied a word at a time.
char* WriteEscaped(char* out, const char* text, std::size_t length) noexcept {
    const char* const end = text + length;
    for (;;) {
        const std::size_t plain = Detail::CopyPlain(out, text, static_cast<std::size_t>(end - text));
        out += plain;
        text += plain;
        if (text == end) {
            return out;
        }
        out = WriteEscape(out, static_cast<unsigned char>(*text++));
    }
}

// Writes `text` (its `length` bytes, `extra` of escaping included by Scan)
// between quotes at `out`; returns the end of what was written.
char* WriteQuoted(char* out, const char* text, std::size_t length, std::size_t extra) noexcept {
    *out++ = '"';
    if (extra == 0) {
        std::memcpy(out, text, length);
        out += length;
    } else {
        out = WriteEscaped(out, text, length);
    }
    *out++ = '"';
    return out;
}

// The first buffer, and the most zero-filled room kept ahead of the document.
constexpr std::size_t kFirstCapacity = 1024;
constexpr std::size_t kRoomStep = 16 * 1024;

// Longest text that String() writes in one pass with room for its worst
// case; a longer one is measured first, so that a huge text does not make
// the buffer grow to six times its size.
constexpr std::size_t kOnePassLength = 4096;

// The throws live out of line so that the checks guarding them stay small
// enough to inline into every writing call.
#if defined(_MSC_VER)
#define ORV_STRINGER_COLD __declspec(noinline)
#else
#define ORV_STRINGER_COLD __attribute__((noinline, cold))
#endif

[[noreturn]] ORV_STRINGER_COLD void ThrowMisuse(const char* message) {
    throw std::logic_error(message);
}

[[noreturn]] ORV_STRINGER_COLD void ThrowLimitReached(std::size_t limit) {
    throw std::length_error("Stringer: output limit of " + std::to_string(limit) + " bytes reached");
}

[[noreturn]] ORV_STRINGER_COLD void ThrowNullString() {
    throw std::invalid_argument("Stringer: a null string pointer");
}

}  // namespace

// The write path shared by every call. Each writing call goes
// Check (may throw, writes nothing) -> Reserve (may throw bad_alloc, writes
// nothing) -> write and update state (cannot throw), so a refused call leaves
// both the text and the state untouched.
class StringerWriter {
public:
    enum class Item { Key, Value };

    // Refuses `item` where it is not allowed; otherwise returns the length of
    // what goes before it (comma, newline and indentation).
    static std::size_t PrefixLength(const Stringer& s, Item item) {
        if (s.buffer.states.empty()) {
            if (item == Item::Key) {
                ThrowMisuse("Stringer: Key() outside an object");
            }
            if (s.buffer.rootWritten) {
                ThrowMisuse("Stringer: a second top-level value");
            }
            return 0;
        }
        const Detail::StringerLevel& level = s.buffer.states.back();
        if (level.isObject) {
            if (item == Item::Key) {
                if (level.needsValue) {
                    ThrowMisuse("Stringer: Key() while a key already awaits its value");
                }
            } else {
                if (!level.needsValue) {
                    ThrowMisuse("Stringer: a value where a key is due");
                }
                return 0;  // the key already wrote the separator and the colon
            }
        } else if (item == Item::Key) {
            ThrowMisuse("Stringer: Key() outside an object");
        }
        return (level.empty ? 0 : 1) + (s.buffer.prettyPrint ? 1 + 2 * s.buffer.states.size() : 0);
    }

    static void CheckLimit(const Stringer& s, std::size_t length) {
        const std::size_t limit = s.buffer.outputLimit;
        if (limit != 0 && (s.buffer.length > limit || length > limit - s.buffer.length)) {
            ThrowLimitReached(limit);
        }
    }

    // Bytes that closing every open level takes, with one more level about
    // to be opened: a bracket each, and in pretty layout a newline and the
    // indentation before it (2k bytes for the level at depth k).
    static std::size_t ClosingRoom(const Stringer& s) noexcept {
        const std::size_t levels = s.buffer.states.size() + 1;
        return s.buffer.prettyPrint ? levels * (levels + 1) : levels;
    }

    // Makes room for `length` more bytes. The room is part of `text`'s size,
    // so the writes after it need no resize. It always includes
    // ClosingRoom(), so that closing never needs memory: a scope guard can
    // close what it opened even when memory has run out.
    static void Reserve(Stringer& s, std::size_t length) {
        const std::size_t needed = s.buffer.length + length + ClosingRoom(s);
        if (needed > s.buffer.text.size()) {
            Grow(s, needed);
        }
    }

    // The capacity grows geometrically, so that a long document reallocates
    // O(log n) times, and a reallocation copies the size (the document and
    // at most kRoomStep of room). The size grows by kRoomStep at a time
    // within the capacity: resize() zero-fills, and a small step is filled
    // while its memory is about to be written anyway, where filling the whole
    // capacity would touch pages the document may never reach.
    static void Grow(Stringer& s, std::size_t needed) {
        if (needed > s.buffer.text.capacity()) {
            s.buffer.text.reserve(std::max({needed, 2 * s.buffer.text.capacity(), kFirstCapacity}));  // may throw
        }
        s.buffer.text.resize(std::min(s.buffer.text.capacity(), std::max(needed, s.buffer.text.size() + kRoomStep)));  // no allocation
    }

    // Extends the document by `length` bytes (room already reserved) and
    // returns where they start.
    static char* Extend(Stringer& s, std::size_t length) noexcept {
        char* start = &s.buffer.text[s.buffer.length];
        s.buffer.length += length;
        return start;
    }

    // Writes the prefix PrefixLength() measured; `prefixLength` must be its result.
    static char* WritePrefix(const Stringer& s, char* out, std::size_t prefixLength) noexcept {
        if (prefixLength == 0) {
            return out;
        }
        if (!s.buffer.states.back().empty) {
            *out++ = ',';
        }
        if (s.buffer.prettyPrint) {
            *out++ = '\n';
            const std::size_t indent = 2 * s.buffer.states.size();
            std::memset(out, ' ', indent);
            out += indent;
        }
        return out;
    }

    // Records that a value (scalar or newly opened container) took its place.
    static void ValueWritten(Stringer& s) noexcept {
        if (s.buffer.states.empty()) {
            s.buffer.rootWritten = true;
        } else {
            Detail::StringerLevel& level = s.buffer.states.back();
            level.empty = false;
            level.needsValue = false;
        }
    }

    static Stringer& Scalar(Stringer& s, const char* data, std::size_t length) {
        const std::size_t prefix = PrefixLength(s, Item::Value);
        const std::size_t total = prefix + length;
        CheckLimit(s, total);
        Reserve(s, total);
        char* out = WritePrefix(s, Extend(s, total), prefix);
        std::memcpy(out, data, length);
        ValueWritten(s);
        return s;
    }

    static Stringer& String(Stringer& s, const char* value) {
        if (value == nullptr) {
            ThrowNullString();
        }
        const std::size_t prefix = PrefixLength(s, Item::Value);
        if (s.buffer.outputLimit == 0) {
            // Without a limit to honour exactly, a text of moderate length
            // is escaped in one pass into room for its worst case.
            const std::size_t length = std::strlen(value);
            if (length <= kOnePassLength) {
                Reserve(s, prefix + 2 + 6 * length);
                char* out = WritePrefix(s, &s.buffer.text[s.buffer.length], prefix);
                *out++ = '"';
                out = WriteEscaped(out, value, length);
                *out++ = '"';
                s.buffer.length = static_cast<std::size_t>(out - s.buffer.text.data());
                ValueWritten(s);
                return s;
            }
        }
        const ScanResult scan = Scan(value);
        const std::size_t total = prefix + 2 + scan.length + scan.extra;
        CheckLimit(s, total);
        Reserve(s, total);
        char* out = WritePrefix(s, Extend(s, total), prefix);
        WriteQuoted(out, value, scan.length, scan.extra);
        ValueWritten(s);
        return s;
    }

    static Stringer& Key(Stringer& s, const char* key) {
        if (key == nullptr) {
            ThrowNullString();
        }
        const std::size_t prefix = PrefixLength(s, Item::Key);
        const ScanResult scan = Scan(key);
        const std::size_t colon = s.buffer.prettyPrint ? 2 : 1;
        const std::size_t total = prefix + 2 + scan.length + scan.extra + colon;
        CheckLimit(s, total);
        Reserve(s, total);
        const std::size_t keyStart = s.buffer.length;
        char* out = WritePrefix(s, Extend(s, total), prefix);
        out = WriteQuoted(out, key, scan.length, scan.extra);
        *out++ = ':';
        if (s.buffer.prettyPrint) {
            *out = ' ';
        }
        Detail::StringerLevel& level = s.buffer.states.back();
        level.needsValue = true;
        level.keyStart = keyStart;
        return s;
    }

    static Stringer& Open(Stringer& s, bool isObject) {
        const std::size_t prefix = PrefixLength(s, Item::Value);
        const std::size_t total = prefix + 1;
        CheckLimit(s, total);
        Reserve(s, total);
        if (s.buffer.states.size() == s.buffer.states.capacity()) {
            s.buffer.states.reserve(std::max<std::size_t>(8, 2 * s.buffer.states.capacity()));
        }
        char* out = WritePrefix(s, Extend(s, total), prefix);
        *out = isObject ? '{' : '[';
        ValueWritten(s);
        Detail::StringerLevel level;
        level.isObject = isObject;
        s.buffer.states.push_back(level);  // capacity reserved above: cannot throw
        return s;
    }

    // Never refused for the output limit, so a document cut short by the
    // limit can still be finished well formed.
    static Stringer& Close(Stringer& s, bool isObject) {
        if (s.buffer.states.empty() || s.buffer.states.back().isObject != isObject) {
            ThrowMisuse(isObject ? "Stringer: CloseObject() without an open object"
                                 : "Stringer: CloseArray() without an open array");
        }
        const Detail::StringerLevel level = s.buffer.states.back();
        // A key still waiting for its value has no place in the finished
        // document: cut it together with the separator written before it.
        const std::size_t keep = level.needsValue ? level.keyStart : s.buffer.length;
        const std::size_t indent = (s.buffer.prettyPrint && !level.empty) ? 2 * (s.buffer.states.size() - 1) : 0;
        const std::size_t length = (s.buffer.prettyPrint && !level.empty ? 1 : 0) + indent + 1;
        // Every write left room for this close (Reserve); growing here is a
        // guard only, and never happens.
        if (keep + length > s.buffer.text.size()) {
            s.buffer.text.resize(keep + length);
        }
        s.buffer.length = keep;
        char* out = Extend(s, length);
        if (s.buffer.prettyPrint && !level.empty) {
            *out++ = '\n';
            std::memset(out, ' ', indent);
            out += indent;
        }
        *out = isObject ? '}' : ']';
        s.buffer.states.pop_back();
        return s;
    }
};

Stringer::InternalScope::~InternalScope() {
    if (stringer != nullptr) {
        try {
            isObject ? stringer->CloseObject() : stringer->CloseArray();
        } catch (...) {
            // A destructor must not throw; the caller closed or unbalanced the
            // level itself and the text shows it.
        }
    }
}

Stringer::Stringer() = default;

Stringer::Stringer(std::stringstream stream) {
#if __cplusplus > 201703L
    buffer.text = std::move(stream).str();
#else
    buffer.text = stream.str();
#endif
    buffer.length = buffer.text.size();
}

// A moved-from Stringer holds no text and no open level, as a moved-from
// string and vector do; its other settings are kept.
Stringer::Stringer(Stringer&& other) noexcept : buffer(std::move(other.buffer)) {
    other.buffer.outputLimit = buffer.outputLimit;
    other.buffer.prettyPrint = buffer.prettyPrint;
    other.buffer.text.clear();
    other.buffer.length = 0;
    other.buffer.states.clear();
}

Stringer& Stringer::operator=(Stringer&& other) noexcept {
    if (this != &other) {
        buffer = std::move(other.buffer);
        other.buffer.outputLimit = buffer.outputLimit;
        other.buffer.prettyPrint = buffer.prettyPrint;
        other.buffer.text.clear();
        other.buffer.length = 0;
        other.buffer.states.clear();
    }
    return *this;
}

Stringer::~Stringer() = default;

Stringer Stringer::PrettyStringer() {
    Stringer stringer;
    stringer.buffer.prettyPrint = true;
    return stringer;
}

std::stringstream Stringer::TakeStream() {
    // `ate` puts the write position after the text, so whatever the caller
    // streams next is appended rather than written over the document.
    constexpr auto mode = std::ios::in | std::ios::out | std::ios::ate;
    buffer.text.resize(buffer.length);  // drops the spare room; never reallocates
#if __cplusplus > 201703L
    std::stringstream stream(std::move(buffer.text), mode);
#else
    std::stringstream stream(buffer.text, mode);
#endif
    buffer.text.clear();
    buffer.length = 0;
    buffer.states.clear();
    buffer.rootWritten = false;
    return stream;
}

std::string Stringer::TakeString() {
    buffer.text.resize(buffer.length);  // drops the room; never reallocates
    std::string taken = std::move(buffer.text);
    buffer.text.clear();
    buffer.length = 0;
    buffer.states.clear();
    buffer.rootWritten = false;
    return taken;
}

void Stringer::Reserve(std::size_t bytes) {
    if (buffer.outputLimit != 0) {
        bytes = std::min(bytes, buffer.outputLimit > buffer.length ? buffer.outputLimit - buffer.length : 0);
    }
    if (bytes > buffer.text.max_size() - buffer.length) {
        throw std::length_error("Stringer: Reserve() beyond the longest string");
    }
    const std::size_t needed = buffer.length + bytes + StringerWriter::ClosingRoom(*this);
    if (needed > buffer.text.capacity()) {
        buffer.text.reserve(needed);
    }
}

std::string Stringer::ToString() const {
    return buffer.text.substr(0, buffer.length);
}

Stringer& Stringer::Object() {
    return StringerWriter::Open(*this, true);
}

Stringer& Stringer::CloseObject() {
    return StringerWriter::Close(*this, true);
}

Stringer& Stringer::Array() {
    return StringerWriter::Open(*this, false);
}

Stringer& Stringer::CloseArray() {
    return StringerWriter::Close(*this, false);
}

Stringer& Stringer::WriteKey(const char* key) {
    return StringerWriter::Key(*this, key);
}

Stringer& Stringer::Value(bool value) {
    return value ? StringerWriter::Scalar(*this, "true", 4) : StringerWriter::Scalar(*this, "false", 5);
}

Stringer& Stringer::Value(int32_t value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return StringerWriter::Scalar(*this, digits, static_cast<std::size_t>(result.ptr - digits));
}

Stringer& Stringer::Value(double value) {
    if (!std::isfinite(value)) {
        throw std::invalid_argument("Stringer: a non-finite number has no JSON form");
    }
    char digits[32];  // the shortest text that reads back as exactly `value`
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return StringerWriter::Scalar(*this, digits, static_cast<std::size_t>(result.ptr - digits));
}

Stringer& Stringer::WriteString(const char* value) {
    return StringerWriter::String(*this, value);
}

Stringer& Stringer::NullValue() {
    return StringerWriter::Scalar(*this, "null", 4);
}

Stringer::InternalObjectScope Stringer::ObjectScope() {
    Object();
    return InternalScope(*this, true);
}

Stringer::InternalObjectScope Stringer::ObjectScope(const char* key) {
    Key(key);
    Object();
    return InternalScope(*this, true);
}

Stringer::InternalArrayScope Stringer::ArrayScope() {
    Array();
    return InternalScope(*this, false);
}

Stringer::InternalArrayScope Stringer::ArrayScope(const char* key) {
    Key(key);
    Array();
    return InternalScope(*this, false);
}

}  // namespace Orv::Common::Serialization::Json
