#include <Orv/Common/Serialization/Json/Stringer.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace Orv::Common::Serialization::Json {

namespace {

// The letter after '\' of a two-character escape (\" \\ \b \f \n \r \t), or
// 0 where a byte that needs escaping is written \u00XX.
constexpr std::array<char, 256> MakeShortForms() {
    std::array<char, 256> forms{};
    const char* const pairs = "\"\"\\\\\bb\ff\nn\rr\tt";
    for (const char* p = pairs; *p != '\0'; p += 2) {
        forms[static_cast<unsigned char>(p[0])] = p[1];
    }
    return forms;
}
constexpr std::array<char, 256> kShortForm = MakeShortForms();

// The length of `text` (no NUL in it) escaped.
std::size_t EscapedLength(std::string_view text) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t plain = Detail::PlainPrefix(text.data() + i, text.size() - i);
        length += plain;
        i += plain;
        if (i < text.size()) {
            length += kShortForm[static_cast<unsigned char>(text[i])] != 0 ? 2 : 6;
        }
    }
    return length;
}

// Writes `text` (no NUL in it) escaped at `out`, which has room for it;
// returns the end of what was written.
char* WriteEscaped(char* out, std::string_view text) {
    constexpr char hex[] = "0123456789abcdef";
    for (std::size_t i = 0;;) {
        const std::size_t plain = Detail::CopyPlain(out, text.data() + i, text.size() - i);
        out += plain;
        i += plain;
        if (i == text.size()) {
            return out;
        }
        const auto c = static_cast<unsigned char>(text[i++]);
        *out++ = '\\';
        if (kShortForm[c] != 0) {
            *out++ = kShortForm[c];
        } else {
            *out++ = 'u';
            *out++ = '0';
            *out++ = '0';
            *out++ = hex[c >> 4];
            *out++ = hex[c & 0x0F];
        }
    }
}

// The throws live out of line, so that the checks guarding them stay small.
[[noreturn]] __attribute__((noinline, cold)) void ThrowMisuse(const char* message) {
    throw std::logic_error(message);
}

[[noreturn]] __attribute__((noinline, cold)) void ThrowNullString() {
    throw std::invalid_argument("Stringer: a null string pointer");
}

constexpr std::size_t kFirstCapacity = 1024;
// The longest text escaped in one pass into room for its worst case; a
// longer one is measured first, so that it does not make the buffer grow to
// six times its size.
constexpr std::size_t kOnePassLength = 4096;

}  // namespace

// The write path of every call the inline one leaves. Each call goes
// Check (may throw, writes nothing) -> Room (may throw, writes nothing but
// what a sink is handed) -> write and update the state (cannot throw), so a
// refused call leaves the text and the state as they were.
class StringerWriter {
public:
    using Buffer = Detail::StringerBuffer;
    enum class Item { Key, Value };

    static std::size_t Length(const Buffer& b) { return static_cast<std::size_t>(b.cursor - b.data.get()); }

    // Refuses `item` where it is not allowed; otherwise returns the length of
    // what goes before it (comma, newline and indentation).
    static std::size_t Prefix(const Buffer& b, Item item) {
        if (b.states.empty()) {
            if (item == Item::Key || b.rootWritten) {
                ThrowMisuse(item == Item::Key ? "Stringer: Key() outside an object" : "Stringer: a second top-level value");
            }
            return 0;
        }
        const Detail::StringerLevel& level = b.states.back();
        if (!level.isObject && item == Item::Key) {
            ThrowMisuse("Stringer: Key() outside an object");
        }
        if (level.isObject && item == Item::Key && level.needsValue) {
            ThrowMisuse("Stringer: Key() while a key already awaits its value");
        }
        if (level.isObject && item == Item::Value) {
            if (!level.needsValue) {
                ThrowMisuse("Stringer: a value where a key is due");
            }
            return 0;  // the key wrote the separator and the colon
        }
        return (level.empty ? 0 : 1) + (b.prettyPrint ? 1 + 2 * b.states.size() : 0);
    }

    // Bytes that closing every open level takes, with one more level about
    // to be opened: a bracket each, and in pretty layout a newline and the
    // indentation before it (2k bytes for the level at depth k). Every write
    // leaves them free, so that closing never needs memory: a scope guard
    // can close what it opened even when memory has run out.
    static std::size_t ClosingRoom(const Buffer& b) {
        const std::size_t levels = b.states.size() + 1;
        return b.prettyPrint ? levels * (levels + 1) : levels;
    }

    // Makes room for `length` more bytes: refused past the output limit;
    // otherwise the text goes to the sink, keeping an awaiting key, or the
    // buffer grows.
    static char* Room(Buffer& b, std::size_t length) {
        const std::size_t limit = b.outputLimit;
        if (limit != 0 && (b.flushed + Length(b) > limit || length > limit - b.flushed - Length(b))) {
            throw std::length_error("Stringer: output limit of " + std::to_string(limit) + " bytes reached");
        }
        const std::size_t needed = length + ClosingRoom(b);
        if (static_cast<std::size_t>(b.end - b.cursor) < needed && b.sink != nullptr) {
            Flush(b, !b.states.empty() && b.states.back().needsValue ? b.states.back().keyStart : Length(b));
        }
        if (static_cast<std::size_t>(b.end - b.cursor) < needed) {
            Grow(b, Length(b) + needed);
        }
        return b.cursor;
    }

    // The capacity grows geometrically, so that a long document reallocates
    // O(log n) times, by realloc, which moves the pages of a block that
    // glibc serves by mmap rather than copying them; new room is never filled.
    static void Grow(Buffer& b, std::size_t needed) {
        const std::size_t capacity = static_cast<std::size_t>(b.end - b.data.get());
        const std::size_t grown = std::max({needed, 2 * capacity, kFirstCapacity});
        const std::size_t length = Length(b);
        char* const data = static_cast<char*>(std::realloc(b.data.get(), grown));
        if (data == nullptr) {
            throw std::bad_alloc();
        }
        static_cast<void>(b.data.release());
        b.data.reset(data);
        b.cursor = data + length;
        b.end = data + grown;
    }

    // Hands the first `count` bytes to the sink and moves the rest to the front.
    static void Flush(Buffer& b, std::size_t count) {
        if (count == 0) {
            return;
        }
        b.sink->Write(b.data.get(), count);
        b.flushed += count;
        b.cursor = std::copy(b.data.get() + count, b.cursor, b.data.get());
        for (Detail::StringerLevel& level : b.states) {
            level.keyStart -= std::min(level.keyStart, count);
        }
    }

    static char* WritePrefix(const Buffer& b, char* out, std::size_t prefix) {
        if (prefix != 0) {
            *out = ',';
            out += b.states.back().empty ? 0 : 1;
            if (b.prettyPrint) {
                *out++ = '\n';
                out = std::fill_n(out, 2 * b.states.size(), ' ');
            }
        }
        return out;
    }

    // Records that a value (scalar or newly opened container) took its place.
    static void ValueWritten(Buffer& b, char* end) {
        b.cursor = end;
        if (b.states.empty()) {
            b.rootWritten = true;
        } else {
            b.states.back().empty = false;
            b.states.back().needsValue = false;
        }
    }

    static Stringer& Scalar(Stringer& s, std::string_view text) {
        Buffer& b = s.buffer;
        const std::size_t prefix = Prefix(b, Item::Value);
        char* out = WritePrefix(b, Room(b, prefix + text.size()), prefix);
        ValueWritten(b, std::copy(text.begin(), text.end(), out));
        return s;
    }

    // A key or a string value, quoted and escaped; it ends at its first NUL.
    static Stringer& Text(Stringer& s, std::string_view text, Item item) {
        text = text.substr(0, text.find('\0'));
        Buffer& b = s.buffer;
        const std::size_t prefix = Prefix(b, item);
        const std::size_t colon = item == Item::Key ? (b.prettyPrint ? 2 : 1) : 0;
        // Without a limit to honour exactly, a text of moderate length is
        // escaped in one pass into room for its worst case.
        const bool onePass = b.outputLimit == 0 && text.size() <= kOnePassLength;
        char* out = Room(b, prefix + (onePass ? 6 * text.size() : EscapedLength(text)) + 2 + colon);
        const std::size_t start = static_cast<std::size_t>(out - b.data.get());
        out = WritePrefix(b, out, prefix);
        *out++ = '"';
        out = WriteEscaped(out, text);
        *out++ = '"';
        if (item == Item::Value) {
            ValueWritten(b, out);
            return s;
        }
        out = std::copy_n(": ", colon, out);
        b.cursor = out;
        b.states.back().needsValue = true;
        b.states.back().keyStart = start;
        return s;
    }

    static Stringer& Open(Stringer& s, bool isObject) {
        Buffer& b = s.buffer;
        const std::size_t prefix = Prefix(b, Item::Value);
        char* out = WritePrefix(b, Room(b, prefix + 1), prefix);
        if (b.states.size() == b.states.capacity()) {
            b.states.reserve(std::max<std::size_t>(8, 2 * b.states.capacity()));
        }
        *out++ = isObject ? '{' : '[';
        ValueWritten(b, out);
        Detail::StringerLevel level;
        level.isObject = isObject;
        b.states.push_back(level);  // capacity reserved above: cannot throw
        return s;
    }

    // Never refused for the output limit, and the room is always there, so
    // that a document cut short can still be finished well formed. A key
    // still waiting for its value has no place in the finished document: it
    // is cut, with the separator written before it.
    static Stringer& Close(Stringer& s, bool isObject) {
        Buffer& b = s.buffer;
        if (b.states.empty() || b.states.back().isObject != isObject) {
            ThrowMisuse(isObject ? "Stringer: CloseObject() without an open object"
                                 : "Stringer: CloseArray() without an open array");
        }
        const Detail::StringerLevel level = b.states.back();
        char* out = level.needsValue ? b.data.get() + level.keyStart : b.cursor;
        if (b.prettyPrint && !level.empty) {
            *out++ = '\n';
            out = std::fill_n(out, 2 * (b.states.size() - 1), ' ');
        }
        *out++ = isObject ? '}' : ']';
        b.cursor = out;
        b.states.pop_back();
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
    const std::string text = stream.str();
    StringerWriter::Grow(buffer, text.size());
    buffer.cursor = std::copy(text.begin(), text.end(), buffer.cursor);
}

Stringer::Stringer(StringerSink& sink, bool prettyPrint) {
    buffer.sink = &sink;
    buffer.prettyPrint = prettyPrint;
    StringerWriter::Grow(buffer, BufferSize);
}

Stringer::Stringer(const Stringer& other) {
    *this = other;
}

Stringer& Stringer::operator=(const Stringer& other) {
    if (this != &other) {
        Detail::StringerBuffer copy;
        copy.states = other.buffer.states;
        StringerWriter::Grow(copy, static_cast<std::size_t>(other.buffer.end - other.buffer.data.get()));
        copy.cursor = std::copy(other.buffer.data.get(), other.buffer.cursor, copy.data.get());
        copy.outputLimit = other.buffer.outputLimit;
        copy.flushed = other.buffer.flushed;
        copy.sink = other.buffer.sink;
        copy.prettyPrint = other.buffer.prettyPrint;
        copy.rootWritten = other.buffer.rootWritten;
        buffer = std::move(copy);
    }
    return *this;
}

// A moved-from Stringer holds no text and no open level, as a moved-from
// string and vector do; its other settings are kept.
Stringer::Stringer(Stringer&& other) noexcept {
    *this = std::move(other);
}

Stringer& Stringer::operator=(Stringer&& other) noexcept {
    if (this != &other) {
        buffer = std::move(other.buffer);
        other.buffer = Detail::StringerBuffer();
        other.buffer.outputLimit = buffer.outputLimit;
        other.buffer.prettyPrint = buffer.prettyPrint;
        other.buffer.sink = buffer.sink;
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
    return std::stringstream(TakeString(), std::ios::in | std::ios::out | std::ios::ate);
}

std::string Stringer::TakeString() {
    std::string text = ToString();
    buffer.cursor = buffer.data.get();
    buffer.states.clear();
    buffer.flushed = 0;
    buffer.rootWritten = false;
    return text;
}

std::string Stringer::ToString() const {
    return std::string(buffer.data.get(), buffer.cursor);
}

void Stringer::Flush() {
    if (buffer.sink != nullptr) {
        const bool awaiting = !buffer.states.empty() && buffer.states.back().needsValue;
        StringerWriter::Flush(buffer, awaiting ? buffer.states.back().keyStart : StringerWriter::Length(buffer));
    }
}

void Stringer::Reserve(std::size_t bytes) {
    const std::size_t length = buffer.flushed + StringerWriter::Length(buffer);
    if (buffer.outputLimit != 0) {
        bytes = std::min(bytes, buffer.outputLimit > length ? buffer.outputLimit - length : 0);
    }
    if (buffer.sink != nullptr) {
        bytes = std::min(bytes, BufferSize);
    }
    const std::size_t room = StringerWriter::ClosingRoom(buffer);
    if (bytes > std::string().max_size() - length - room) {
        throw std::length_error("Stringer: Reserve() beyond the longest text");
    }
    if (static_cast<std::size_t>(buffer.end - buffer.cursor) < bytes + room) {
        StringerWriter::Grow(buffer, StringerWriter::Length(buffer) + bytes + room);
    }
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

Stringer& Stringer::WriteKey(std::string_view key) {
    return StringerWriter::Text(*this, key, StringerWriter::Item::Key);
}

Stringer& Stringer::WriteKey(const char* key) {
    if (key == nullptr) {
        ThrowNullString();
    }
    return WriteKey(std::string_view(key));
}

Stringer& Stringer::WriteString(std::string_view value) {
    return StringerWriter::Text(*this, value, StringerWriter::Item::Value);
}

Stringer& Stringer::WriteString(const char* value) {
    if (value == nullptr) {
        ThrowNullString();
    }
    return WriteString(std::string_view(value));
}

Stringer& Stringer::Value(bool value) {
    return StringerWriter::Scalar(*this, value ? "true" : "false");
}

Stringer& Stringer::Value(int32_t value) {
    return WriteInteger(static_cast<long long>(value));
}

Stringer& Stringer::WriteInteger(long long value) {
    char digits[24];
    return StringerWriter::Scalar(*this, std::string_view(digits, std::to_chars(digits, digits + 24, value).ptr - digits));
}

Stringer& Stringer::WriteInteger(unsigned long long value) {
    char digits[24];
    return StringerWriter::Scalar(*this, std::string_view(digits, std::to_chars(digits, digits + 24, value).ptr - digits));
}

Stringer& Stringer::Value(double value) {
    if (!std::isfinite(value)) {
        throw std::invalid_argument("Stringer: a non-finite number has no JSON form");
    }
    char digits[32];  // the shortest text that reads back as exactly `value`
    return StringerWriter::Scalar(*this, std::string_view(digits, std::to_chars(digits, digits + 32, value).ptr - digits));
}

Stringer& Stringer::NullValue() {
    return StringerWriter::Scalar(*this, "null");
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
