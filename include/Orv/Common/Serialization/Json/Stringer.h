#pragma once

#include <Orv/Common/Serialization/Json/Detail/StringerBuffer.h>
#include <Orv/Common/Serialization/Json/Export.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

namespace Orv::Common::Serialization::Json {

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

    // A key or a text ends at its first NUL character. The common case is
    // written inline; everything else goes through the exported Write*
    // calls, which check, escape, grow and throw.
    Stringer& Key(const char* key) {
        return key != nullptr && buffer.TryKey(key, static_cast<std::size_t>(-1)) ? *this : WriteKey(key);
    }
    Stringer& Key(const std::string& key) {
        return buffer.TryKey(key.c_str(), key.size()) ? *this : WriteKey(key.c_str());
    }

    Stringer& Value(bool value);
    Stringer& Value(int32_t value);
    // Non-finite numbers have no JSON form: std::invalid_argument.
    Stringer& Value(double value);
    Stringer& Value(const char* value) {
        return value != nullptr && buffer.TryText(value, std::strlen(value)) ? *this : WriteString(value);
    }
    Stringer& Value(const std::string& value) {
        return buffer.TryText(value.c_str(), value.size()) ? *this : WriteString(value.c_str());
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
    void OutputLimit(std::size_t bytes) noexcept { buffer.outputLimit = bytes; }
    std::size_t OutputLimit() const noexcept { return buffer.outputLimit; }

    // Number of objects and arrays currently open.
    std::size_t Depth() const noexcept { return buffer.states.size(); }

private:
    Stringer& WriteKey(const char* key);
    Stringer& WriteString(const char* value);

    Detail::StringerBuffer buffer;
    // Implementation helpers live in the source file.
    friend class StringerWriter;
};

}  // namespace Orv::Common::Serialization::Json
