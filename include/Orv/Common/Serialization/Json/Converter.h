#pragma once

#include <Orv/Common/Serialization/Converter.h>
#include <Orv/Common/Serialization/Json/JsonObject.h>
#include <Orv/Common/Serialization/Json/Stringer.h>

namespace Orv::Common::Serialization::Json {

// Writes a T as JSON text into a Stringer.
template <typename T>
class ToJsonConverter : public Converter<T, Stringer> {
public:
    ToJsonConverter() = default;
    ToJsonConverter(const ToJsonConverter&) = default;
    ToJsonConverter(ToJsonConverter&&) = default;
    ~ToJsonConverter() override = default;
};

// Reads a parsed JSON value into P, a std::unique_ptr to a model type.
template <typename P>
class FromJsonConverter : public Converter<JsonObject, P> {
public:
    FromJsonConverter() = default;
    FromJsonConverter(const FromJsonConverter&) = default;
    FromJsonConverter(FromJsonConverter&&) = default;
    ~FromJsonConverter() override = default;
};

}  // namespace Orv::Common::Serialization::Json
