#pragma once

#include <Orv/Common/Serialization/Json/Export.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

namespace Orv::Common::Serialization::Json {

namespace StringerDetail {

// Bytes that a JSON string cannot hold as they are: the control characters,
// '"' and '\\'. NUL is among them; it ends a text.
constexpr std::array<bool, 256> MakeNeedsEscape() {
    std::array<bool, 256> table{};
    for (int c = 0; c < 0x20; ++c) {
        table[c] = true;
    }
    table['"'] = true;
    table['\\'] = true;
    return table;
}

inline constexpr std::array<bool, 256> needsEscape = MakeNeedsEscape();

// Texts are scanned eight bytes at a time: a word is loaded (memcpy, so any
// alignment will do) and tested for a byte that needsEscape, all eight at
// once. Only whole words inside the text are read, never a byte past it.
constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Bit 7 of a byte of the result is set where that byte of `word` needs
// escaping, and possibly at bytes after one that does (a borrow carries into
// the next byte), never before: the lowest set bit marks the first such byte
// exactly, and the result is 0 exactly when the word has none. Bytes of 0x80
// and above are never marked: their bit 7 is cleared by ~word.
constexpr std::uint64_t EscapeMarks(std::uint64_t word) noexcept {
    const std::uint64_t quotes = word ^ (kEveryByte * '"');
    const std::uint64_t backslashes = word ^ (kEveryByte * '\\');
    return ((word - kEveryByte * 0x20) | (quotes - kEveryByte) | (backslashes - kEveryByte)) & ~word & kHighBits;
}

// Index of the byte that the lowest mark of EscapeMarks() stands for (the
// first byte in memory, on a little-endian machine).
inline std::size_t FirstMarkedByte(std::uint64_t marks) noexcept {
#if defined(_MSC_VER) && !defined(__clang__)
    unsigned long bit = 0;
    _BitScanForward64(&bit, marks);
    return bit / 8;
#else
    return static_cast<std::size_t>(__builtin_ctzll(marks)) / 8;
#endif
}

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool kScanByWords = true;  // FirstMarkedByte assumes little-endian words
#else
constexpr bool kScanByWords = true;
#endif

// Copies the `size` bytes of `text` to `out` and returns how many of them
// come before the first that needs escaping (NUL included), or `size` when
// none does. The bytes after that one may be copied too: `out` must have room
// for all `size`.
inline std::size_t CopyPlain(char* out, const char* text, std::size_t size) noexcept {
    std::size_t i = 0;
    if (kScanByWords && size >= 8) {
        std::uint64_t word;
        for (; i + 8 <= size; i += 8) {
            std::memcpy(&word, text + i, 8);
            std::memcpy(out + i, &word, 8);
            if (const std::uint64_t marks = EscapeMarks(word)) {
                return i + FirstMarkedByte(marks);
            }
        }
        if (i == size) {
            return size;
        }
        // The last, partial word: the eight bytes that end the text, some of
        // them already found plain.
        i = size - 8;
        std::memcpy(&word, text + i, 8);
        std::memcpy(out + i, &word, 8);
        const std::uint64_t marks = EscapeMarks(word);
        return marks != 0 ? i + FirstMarkedByte(marks) : size;
    }
    for (; i < size; ++i) {
        out[i] = text[i];
        if (needsEscape[static_cast<unsigned char>(text[i])]) {
            return i;
        }
    }
    return size;
}

// CopyPlain() without the copy.
inline std::size_t PlainPrefix(const char* text, std::size_t size) noexcept {
    std::size_t i = 0;
    if (kScanByWords) {
        std::uint64_t word;
        for (; i + 8 <= size; i += 8) {
            std::memcpy(&word, text + i, 8);
            if (const std::uint64_t marks = EscapeMarks(word)) {
                return i + FirstMarkedByte(marks);
            }
        }
    }
    for (; i < size; ++i) {
        if (needsEscape[static_cast<unsigned char>(text[i])]) {
            return i;
        }
    }
    return size;
}

}  // namespace StringerDetail

// Streaming JSON text writer.
//
// Calls are written in order: Object()/CloseObject() and Array()/CloseArray()
// bracket containers, Key() followed by one value makes a member. The Stringer
// writes every separator, colon and quote itself.
//
// Output is compact (no whitespace at all) unless the Stringer comes from
// PrettyStringer(). Strings are escaped as RFC 8259 asks: '"' and '\\' get a
// backslash, control characters below 0x20 become \b \f \n \r \t or \u00XX, and
// every other byte, 0x80 and above included, is copied unchanged. A
// `const char*` text ends at its first NUL character.
//
// Misuse (a value where a key is due, a key outside an object, a close without
// a matching open, a second top-level value) throws std::logic_error and
// writes nothing of the refused call.
//
// Output limit: when OutputLimit() is not 0, a Key, Value, Object or Array
// call whose text would make the output longer than the limit writes nothing
// and throws std::length_error naming the limit. CloseObject() and
// CloseArray() are always accepted, so a refused document still ends well
// formed; a close that finds a key still waiting for its value drops that key.
class ORV_COMMON_SERIALIZATION_JSON_API Stringer {
public:
    // Closes the object opened by ObjectScope() when it goes out of scope.
    // A close refused by the Stringer never leaves the destructor.
    class ORV_COMMON_SERIALIZATION_JSON_API InternalObjectScope {
    public:
        explicit InternalObjectScope(Stringer& stringer) noexcept : stringer(&stringer) {}
        InternalObjectScope(InternalObjectScope&& other) noexcept : stringer(other.stringer) {
            other.stringer = nullptr;
        }
        InternalObjectScope(const InternalObjectScope&) = delete;
        InternalObjectScope& operator=(const InternalObjectScope&) = delete;
        InternalObjectScope& operator=(InternalObjectScope&&) = delete;
        ~InternalObjectScope();

    private:
        Stringer* stringer;
    };

    // Closes the array opened by ArrayScope() when it goes out of scope.
    class ORV_COMMON_SERIALIZATION_JSON_API InternalArrayScope {
    public:
        explicit InternalArrayScope(Stringer& stringer) noexcept : stringer(&stringer) {}
        InternalArrayScope(InternalArrayScope&& other) noexcept : stringer(other.stringer) {
            other.stringer = nullptr;
        }
        InternalArrayScope(const InternalArrayScope&) = delete;
        InternalArrayScope& operator=(const InternalArrayScope&) = delete;
        InternalArrayScope& operator=(InternalArrayScope&&) = delete;
        ~InternalArrayScope();

    private:
        Stringer* stringer;
    };

    Stringer();
    // Continues the text already held by `stream`; the new text is appended
    // to it as if it were written at the top level of an empty document.
    explicit Stringer(std::stringstream stream);

    Stringer(const Stringer&) = default;
    Stringer(Stringer&& other) noexcept;
    Stringer& operator=(const Stringer&) = default;
    Stringer& operator=(Stringer&& other) noexcept;
    ~Stringer();

    // A Stringer that lays its text out over several lines, indented by two
    // spaces per level, with ": " after each key.
    static Stringer PrettyStringer();

    // Moves the text out into a stream and leaves the Stringer empty, ready
    // for a new document (the output limit and layout are kept).
    std::stringstream TakeStream();
    // Moves the text out, without a copy (the string may keep spare
    // capacity), and leaves the Stringer empty and ready like TakeStream().
    std::string TakeString();
    // A copy of the text written so far.
    std::string ToString() const;

    Stringer& Object();
    Stringer& CloseObject();
    Stringer& Array();
    Stringer& CloseArray();

    Stringer& Key(const char* key);
    Stringer& Key(const std::string& key);
    // Key(key) for a key held in a character array, a string literal most
    // often: the same text (up to its first NUL), the same checks and
    // errors, but the common case is written inline. Name the bound to
    // select it, as in Key<sizeof key>(key); a plain Key(key) picks the
    // const char* overload.
    template <std::size_t N>
    Stringer& Key(const char (&key)[N]) {
        return AppendKey(key, N);
    }

    Stringer& Value(bool value);
    Stringer& Value(int32_t value);
    // Non-finite numbers have no JSON form: std::invalid_argument.
    Stringer& Value(double value);
    Stringer& Value(const char* value);
    // Like Value(value.c_str()): the text ends at its first NUL.
    Stringer& Value(const std::string& value) { return AppendText(value.c_str(), value.size()); }
    // Value(const char*) for a text held in a character array, with the
    // common case written inline; select it as Value<sizeof value>(value).
    template <std::size_t N>
    Stringer& Value(const char (&value)[N]) {
        return AppendString(value, N);
    }
    Stringer& NullValue();

    InternalObjectScope ObjectScope();
    InternalObjectScope ObjectScope(const char* key);
    InternalArrayScope ArrayScope();
    InternalArrayScope ArrayScope(const char* key);

    // Makes room for `bytes` more bytes of text (no more than the output
    // limit leaves), so that writing them needs no reallocation. It reserves
    // capacity only: no memory is touched until it is written. Throws what
    // std::string::reserve throws (std::bad_alloc, std::length_error), and
    // then changes nothing.
    void Reserve(std::size_t bytes);

    // 0 (the default) means no limit.
    void OutputLimit(std::size_t bytes) noexcept { outputLimit = bytes; }
    std::size_t OutputLimit() const noexcept { return outputLimit; }

    // Number of objects and arrays currently open.
    std::size_t Depth() const noexcept { return states.size(); }

private:
    struct LevelState {
        bool empty = true;        // nothing written yet at this level
        bool isObject = false;    // object, or array
        bool needsValue = false;  // a key awaits its value
        std::size_t keyStart = 0; // where the awaiting key's text begins
    };

    static constexpr std::size_t notPlain = static_cast<std::size_t>(-1);

    // Length of `text` up to its first NUL (looking at no more than `bound`
    // bytes), or notPlain when a byte before it needs escaping.
    static std::size_t PlainLength(const char* text, std::size_t bound) noexcept {
        for (std::size_t i = 0; i < bound; ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (StringerDetail::needsEscape[c]) {
                return c == 0 ? i : notPlain;
            }
        }
        return bound;
    }

    // The inline fast paths below take the common case only: compact layout,
    // no output limit, inside an object or array that accepts the call, a
    // text that needs no escaping and room left in the buffer (beyond the
    // bracket that each open level keeps for its close). Everything
    // else goes to the exported Key(const char*) and Value(const char*),
    // which check, escape, grow and throw. Both ways write the same bytes.
    bool InlineWritable() const noexcept { return !prettyPrint && outputLimit == 0 && !states.empty(); }

    Stringer& AppendKey(const char* key, std::size_t bound) {
        if (InlineWritable()) {
            LevelState& level = states.back();
            const std::size_t size = PlainLength(key, bound);
            if (level.isObject && !level.needsValue && size != notPlain &&
                text.size() - length >= size + 4 + states.size()) {
                char* out = &text[length];
                level.keyStart = length;
                *out = ',';
                out += level.empty ? 0 : 1;
                *out++ = '"';
                std::memcpy(out, key, size);
                out += size;
                *out++ = '"';
                *out++ = ':';
                length = static_cast<std::size_t>(out - text.data());
                level.needsValue = true;
                return *this;
            }
        }
        return Key(key);
    }

    Stringer& AppendString(const char* value, std::size_t bound) {
        if (InlineWritable()) {
            LevelState& level = states.back();
            const std::size_t size = PlainLength(value, bound);
            if (level.needsValue == level.isObject && size != notPlain &&
                text.size() - length >= size + 3 + states.size()) {
                char* out = &text[length];
                *out = ',';
                out += level.empty || level.isObject ? 0 : 1;
                *out++ = '"';
                std::memcpy(out, value, size);
                out += size;
                *out++ = '"';
                length = static_cast<std::size_t>(out - text.data());
                level.empty = false;
                level.needsValue = false;
                return *this;
            }
        }
        return Value(value);
    }

    // Value(const std::string&): `value` has `size` bytes and a NUL after
    // them. The text is scanned and copied in one pass, eight bytes at a
    // time, into the room after the document; when it turns out to need
    // escaping, nothing is kept of that copy and Value(const char*) writes it.
    Stringer& AppendText(const char* value, std::size_t size) {
        if (InlineWritable()) {
            LevelState& level = states.back();
            if (level.needsValue == level.isObject && text.size() - length >= size + 3 + states.size()) {
                char* out = &text[length];
                *out = ',';
                out += level.empty || level.isObject ? 0 : 1;
                *out++ = '"';
                const std::size_t plain = StringerDetail::CopyPlain(out, value, size);
                if (plain == size || value[plain] == '\0') {
                    out += plain;
                    *out++ = '"';
                    length = static_cast<std::size_t>(out - text.data());
                    level.empty = false;
                    level.needsValue = false;
                    return *this;
                }
            }
        }
        return Value(value);
    }

    // The document is the first `length` bytes of `text`; the rest of it is
    // room to write into, so that a write is a copy and a cursor move rather
    // than a resize of the string. The room is zero-filled by resize(), so it
    // is kept small (see StringerWriter::Reserve): `text` reserves capacity
    // geometrically but grows its size only a little ahead of the document,
    // so that growing never touches memory the document does not reach.
    std::string text;
    std::size_t length = 0;
    std::vector<LevelState> states;
    std::size_t outputLimit = 0;
    bool prettyPrint = false;
    bool rootWritten = false;
    // Implementation helpers live in the source file.
    friend class StringerWriter;
};

}  // namespace Orv::Common::Serialization::Json
