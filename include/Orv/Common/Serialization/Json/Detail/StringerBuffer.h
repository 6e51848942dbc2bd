#pragma once

// The Stringer's text buffer and the common case of its writing calls,
// inline: not part of the Stringer's contract, which Stringer.h states.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

namespace Orv::Common::Serialization::Json::Detail {

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

// Index of the byte that the lowest mark of EscapeMarks() stands for: the
// first byte in memory on a little-endian machine, which the word scan
// needs (kScanByWords).
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
constexpr bool kScanByWords = false;  // the lowest mark is not the first byte there
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

// One open object or array.
struct StringerLevel {
    bool empty = true;         // nothing written yet at this level
    bool isObject = false;     // object, or array
    bool needsValue = false;   // a key awaits its value
    std::size_t keyStart = 0;  // where the awaiting key's text begins
};

// The document is the first `length` bytes of `text`; the rest of it is room
// to write into, so that a write is a copy and a cursor move rather than a
// resize of the string. The room is zero-filled by resize(), so it is kept
// small (see StringerWriter::Reserve): `text` reserves capacity
// geometrically but grows its size only a little ahead of the document, so
// that growing never touches memory the document does not reach.
//
// The Try* calls write the common case inline: compact layout, no output
// limit, inside an object or array that accepts the call, a text that needs
// no escaping and room left in the buffer (beyond the bracket that each open
// level keeps for its close). They return false, having written nothing, for
// everything else, which the Stringer's exported calls check, escape, grow
// and throw for. Both ways write the same bytes.
struct StringerBuffer {
    std::string text;
    std::size_t length = 0;
    std::vector<StringerLevel> states;
    std::size_t outputLimit = 0;
    bool prettyPrint = false;
    bool rootWritten = false;

    static constexpr std::size_t notPlain = static_cast<std::size_t>(-1);

    // Length of `text` up to its first NUL (looking at no more than `bound`
    // bytes), or notPlain when a byte before it needs escaping.
    static std::size_t PlainLength(const char* text, std::size_t bound) noexcept {
        for (std::size_t i = 0; i < bound; ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (needsEscape[c]) {
                return c == 0 ? i : notPlain;
            }
        }
        return bound;
    }

    bool InlineWritable() const noexcept { return !prettyPrint && outputLimit == 0 && !states.empty(); }

    // A key of at most `bound` bytes (it ends at a NUL before).
    bool TryKey(const char* key, std::size_t bound) noexcept {
        if (!InlineWritable()) {
            return false;
        }
        StringerLevel& level = states.back();
        const std::size_t size = PlainLength(key, bound);
        if (!level.isObject || level.needsValue || size == notPlain ||
            text.size() - length < size + 4 + states.size()) {
            return false;
        }
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
        return true;
    }

    // A string value of `size` bytes with a NUL after them (the text ends at
    // an earlier NUL). It is scanned and copied in one pass, eight bytes at a
    // time, into the room after the document; when it turns out to need
    // escaping, nothing is kept of that copy.
    bool TryText(const char* value, std::size_t size) noexcept {
        if (!InlineWritable()) {
            return false;
        }
        StringerLevel& level = states.back();
        if (level.needsValue != level.isObject || text.size() - length < size + 3 + states.size()) {
            return false;
        }
        char* out = &text[length];
        *out = ',';
        out += level.empty || level.isObject ? 0 : 1;
        *out++ = '"';
        const std::size_t plain = CopyPlain(out, value, size);
        if (plain != size && value[plain] != '\0') {
            return false;
        }
        out += plain;
        *out++ = '"';
        length = static_cast<std::size_t>(out - text.data());
        level.empty = false;
        level.needsValue = false;
        return true;
    }
};

}  // namespace Orv::Common::Serialization::Json::Detail
