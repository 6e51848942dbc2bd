#pragma once

#include <Orv/Common/Serialization/Json/Detail/StringerBuffer.h>
#include <Orv/Common/Serialization/Json/Export.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>

namespace Orv::Common::Serialization::Json {

// Where a Stringer made with one sends its text, in order, a buffer at a
// time. Write() may throw; the Stringer then reports the failure of the call
// that was writing.
class ORV_COMMON_SERIALIZATION_JSON_API StringerSink {
public:
    virtual void Write(const char* data, std::size_t size) = 0;

protected:
    ~StringerSink() = default;
};

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
//
// The text is kept in memory, or, for a Stringer made with a StringerSink,
// handed to the sink whenever the buffer of BufferSize bytes fills and on
// Flush(), so that the memory used stays the same however long the text.
class ORV_COMMON_SERIALIZATION_JSON_API Stringer {
public:
    // Closes the object or array opened by ObjectScope() or ArrayScope() when
    // it goes out of scope. A close refused by the Stringer never leaves the
    // destructor.
    class ORV_COMMON_SERIALIZATION_JSON_API InternalScope {
    public:
        InternalScope(Stringer& stringer, bool isObject) noexcept : stringer(&stringer), isObject(isObject) {}
        InternalScope(InternalScope&& other) noexcept : stringer(other.stringer), isObject(other.isObject) {
            other.stringer = nullptr;
        }
        InternalScope(const InternalScope&) = delete;
        InternalScope& operator=(const InternalScope&) = delete;
        InternalScope& operator=(InternalScope&&) = delete;
        ~InternalScope();

    private:
        Stringer* stringer;
        bool isObject;
    };
    using InternalObjectScope = InternalScope;
    using InternalArrayScope = InternalScope;

    Stringer();
    // Continues the text already held by `stream`; the new text is appended
    // to it as if it were written at the top level of an empty document.
    explicit Stringer(std::stringstream stream);
    // Sends the text to `sink`, which must outlive the Stringer.
    explicit Stringer(StringerSink& sink, bool prettyPrint = false);
    static constexpr std::size_t BufferSize = 64 * 1024;

    Stringer(const Stringer& other);
    Stringer(Stringer&& other) noexcept;
    Stringer& operator=(const Stringer& other);
    Stringer& operator=(Stringer&& other) noexcept;
    ~Stringer();

    // A Stringer that lays its text out over several lines, indented by two
    // spaces per level, with ": " after each key.
    static Stringer PrettyStringer();

    // Hands the text out as a stream and leaves the Stringer empty, ready
    // for a new document (the output limit and layout are kept). For a
    // Stringer with a sink, the text not yet flushed.
    std::stringstream TakeStream();
    // The same as a string.
    std::string TakeString();
    // A copy of the text written so far (not yet flushed, with a sink).
    std::string ToString() const;
    // The same text without a copy; valid until the next call that writes,
    // flushes or takes the text.
    std::string_view View() const noexcept {
        return {buffer.data.get(), static_cast<std::size_t>(buffer.cursor - buffer.data.get())};
    }
    // Hands the text held to the sink, if there is one.
    void Flush();

    Stringer& Object();
    Stringer& CloseObject();
    Stringer& Array();
    Stringer& CloseArray();

    // A key or a text ends at its first NUL character. The common case is
    // written inline; everything else goes through the exported Write*
    // calls, which check, escape, grow and throw.
    Stringer& Key(const char* key) { return key != nullptr ? Key(std::string_view(key)) : WriteKey(key); }
    Stringer& Key(const std::string& key) {
        return buffer.TryKey(key.c_str(), key.size()) ? *this : WriteKey(key.c_str());
    }
    Stringer& Key(std::string_view key) { return buffer.TryKey(key.data(), key.size()) ? *this : WriteKey(key); }

    Stringer& Value(bool value);
    Stringer& Value(int32_t value);
    // Any other integer type, as a JSON number (characters are not integers
    // here).
    template <typename Integer,
              std::enable_if_t<std::is_integral_v<Integer> && !std::is_same_v<Integer, bool> &&
                                   !std::is_same_v<Integer, char> && !std::is_same_v<Integer, wchar_t> &&
                                   !std::is_same_v<Integer, char16_t> && !std::is_same_v<Integer, char32_t>,
                               int> = 0>
    Stringer& Value(Integer value) {
        if constexpr (std::is_signed_v<Integer>) {
            return WriteInteger(static_cast<long long>(value));
        } else {
            return WriteInteger(static_cast<unsigned long long>(value));
        }
    }
    // Non-finite numbers have no JSON form: std::invalid_argument.
    Stringer& Value(double value);
    Stringer& Value(const char* value) { return value != nullptr ? Value(std::string_view(value)) : WriteString(value); }
    Stringer& Value(const std::string& value) {
        return buffer.TryText(value.c_str(), value.size()) ? *this : WriteString(value.c_str());
    }
    Stringer& Value(std::string_view value) {
        return buffer.TryText(value.data(), value.size()) ? *this : WriteString(value);
    }
    Stringer& NullValue();

    InternalObjectScope ObjectScope();
    InternalObjectScope ObjectScope(const char* key);
    InternalArrayScope ArrayScope();
    InternalArrayScope ArrayScope(const char* key);

    // Makes room for `bytes` more bytes of text (no more than the output
    // limit leaves; with a sink, no more than BufferSize), so that writing
    // them needs no reallocation. No memory is touched until it is written.
    // Throws std::bad_alloc or std::length_error, and then changes nothing.
    void Reserve(std::size_t bytes);

    // 0 (the default) means no limit.
    void OutputLimit(std::size_t bytes) noexcept { buffer.outputLimit = bytes; }
    std::size_t OutputLimit() const noexcept { return buffer.outputLimit; }

    // Number of objects and arrays currently open.
    std::size_t Depth() const noexcept { return buffer.states.size(); }

private:
    Stringer& WriteKey(std::string_view key);
    Stringer& WriteKey(const char* key);
    Stringer& WriteString(std::string_view value);
    Stringer& WriteString(const char* value);
    Stringer& WriteInteger(long long value);
    Stringer& WriteInteger(unsigned long long value);

    Detail::StringerBuffer buffer;
    // Implementation helpers live in the source file.
    friend class StringerWriter;
};

}  // namespace Orv::Common::Serialization::Json
