#pragma once

// The Stringer's text buffer and the common case of its writing calls,
// inline: not part of the Stringer's contract, which Stringer.h states.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace Orv::Common::Serialization::Json {
class StringerSink;
}

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
// Bit 7 of a byte of EscapeMarks() is set where that byte of `word` needs
// escaping, and possibly at bytes after one that does (a borrow carries into
// the next byte), never before: on a little-endian machine the lowest set bit
// marks the first such byte exactly. Bytes of 0x80 and above are never
// marked: their bit 7 is cleared by ~word.
constexpr std::uint64_t EscapeMarks(std::uint64_t word) noexcept {
    constexpr std::uint64_t everyByte = 0x0101010101010101u;
    const std::uint64_t quotes = word ^ (everyByte * '"');
    const std::uint64_t backslashes = word ^ (everyByte * '\\');
    return ((word - everyByte * 0x20) | (quotes - everyByte) | (backslashes - everyByte)) & ~word &
           0x8080808080808080u;
}

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool kScanByWords = false;  // the lowest mark is not the first byte there
#else
constexpr bool kScanByWords = true;
#endif

// Copies the `size` bytes of `text` to `out` (when `out` is not null) and
// returns how many of them come before the first that needs escaping (NUL
// included), or `size` when none does. The bytes after that one may be copied
// too: `out` must have room for all `size`.
inline std::size_t CopyPlain(char* out, const char* text, std::size_t size) noexcept {
    std::size_t i = 0;
    if (kScanByWords && size >= 8) {
        std::uint64_t word;
        for (; i + 8 <= size; i += 8) {
            std::memcpy(&word, text + i, 8);
            if (out != nullptr) {
                std::memcpy(out + i, &word, 8);
            }
            if (const std::uint64_t marks = EscapeMarks(word)) {
                return i + static_cast<std::size_t>(__builtin_ctzll(marks)) / 8;
            }
        }
        if (i == size) {
            return size;
        }
        // The last, partial word: the eight bytes that end the text, some of
        // them already found plain.
        i = size - 8;
        std::memcpy(&word, text + i, 8);
        if (out != nullptr) {
            std::memcpy(out + i, &word, 8);
        }
        const std::uint64_t marks = EscapeMarks(word);
        return marks != 0 ? i + static_cast<std::size_t>(__builtin_ctzll(marks)) / 8 : size;
    }
    for (; i < size; ++i) {
        if (out != nullptr) {
            out[i] = text[i];
        }
        if (needsEscape[static_cast<unsigned char>(text[i])]) {
            return i;
        }
    }
    return size;
}

inline std::size_t PlainPrefix(const char* text, std::size_t size) noexcept {
    return CopyPlain(nullptr, text, size);
}

// Copies a text of fewer than eight bytes to `out` and says whether none of
// its bytes needs escaping. Four to seven bytes are moved as two overlapping
// fixed-size words, the first four and the last four, and tested as one: a
// call of libc's memcpy for a few bytes would cost more than the copy. When
// the text needs escaping, what was copied is not kept by the caller.
inline bool CopyShortPlain(char* out, const char* text, std::size_t size) noexcept {
    if (!kScanByWords || size < 4) {
        return CopyPlain(out, text, size) == size;
    }
    std::uint32_t first;
    std::uint32_t last;
    std::memcpy(&first, text, 4);
    std::memcpy(&last, text + size - 4, 4);
    std::memcpy(out, &first, 4);
    std::memcpy(out + size - 4, &last, 4);
    return EscapeMarks(first | static_cast<std::uint64_t>(last) << 32) == 0;
}

// Copies a text to `out` and says whether none of its bytes needs escaping.
inline bool CopyIfPlain(char* out, const char* text, std::size_t size) noexcept {
    return size < 8 ? CopyShortPlain(out, text, size) : CopyPlain(out, text, size) == size;
}

// One open object or array.
struct StringerLevel {
    bool empty = true;         // nothing written yet at this level
    bool isObject = false;     // object, or array
    bool needsValue = false;   // a key awaits its value
    std::size_t keyStart = 0;  // where the awaiting key's text begins in the buffer
};

// The text not yet handed to a sink is [data, cursor); [cursor, end) is room
// to write into, so that a write is a copy and a cursor move. No byte of the
// room is written before the text reaches it.
//
// The Try* calls write the common case inline: compact layout, no output
// limit, inside an object or array that accepts the call, a text that needs
// no escaping and room left in the buffer (beyond the bracket that each open
// level keeps for its close). They return false for everything else, which
// the Stringer's exported calls check, escape, grow and throw for; the text
// and the state are then as they were (a text found to need escaping may have
// been copied into the room, which the exported call writes over). Both ways
// write the same bytes.
struct StringerBuffer {
    struct Free {
        void operator()(char* block) const noexcept { std::free(block); }
    };
    std::unique_ptr<char, Free> data;  // from malloc, so that realloc grows it (an mmap-served one without a copy)
    char* cursor = nullptr;
    char* end = nullptr;
    std::vector<StringerLevel> states;
    std::size_t outputLimit = 0;
    std::size_t flushed = 0;  // bytes handed to the sink
    StringerSink* sink = nullptr;
    bool prettyPrint = false;
    bool rootWritten = false;

    bool InlineWritable(std::size_t size) const noexcept {
        return !prettyPrint && outputLimit == 0 && !states.empty() &&
               static_cast<std::size_t>(end - cursor) >= size + 4 + states.size();
    }

    // A key of `size` bytes (it ends at a NUL before).
    bool TryKey(const char* key, std::size_t size) noexcept {
        if (!InlineWritable(size)) {
            return false;
        }
        StringerLevel& level = states.back();
        if (!level.isObject || level.needsValue) {
            return false;
        }
        char* out = cursor;
        *out = ',';
        out += level.empty ? 0 : 1;
        *out++ = '"';
        if (!CopyIfPlain(out, key, size)) {
            return false;
        }
        out += size;
        *out++ = '"';
        *out++ = ':';
        level.keyStart = static_cast<std::size_t>(cursor - data.get());
        cursor = out;
        level.needsValue = true;
        return true;
    }

    // A string value of `size` bytes (it ends at a NUL before), scanned and
    // copied in one pass; when it turns out to need escaping, nothing is kept
    // of that copy.
    bool TryText(const char* value, std::size_t size) noexcept {
        if (!InlineWritable(size)) {
            return false;
        }
        StringerLevel& level = states.back();
        if (level.needsValue != level.isObject) {
            return false;
        }
        char* out = cursor;
        *out = ',';
        out += level.empty || level.isObject ? 0 : 1;
        *out++ = '"';
        if (!CopyIfPlain(out, value, size)) {
            return false;
        }
        out[size] = '"';
        cursor = out + size + 1;
        level.empty = false;
        level.needsValue = false;
        return true;
    }
};

}  // namespace Orv::Common::Serialization::Json::Detail
