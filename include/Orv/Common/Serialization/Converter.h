#pragma once

#include <Orv/Common/Serialization/Result.h>

namespace Orv::Common::Serialization {

// Abstract conversion from one type into another. Implementations hold no
// state: one converter object may serve any number of calls, also at once.
template <typename From, typename To_>
class Converter {
public:
    using FromType = From;
    using ToType = To_;
    using Result = Orv::Common::Serialization::Result;

    Converter() = default;
    Converter(const Converter&) = default;
    virtual ~Converter() = default;

    virtual Result To(const FromType& rhs, ToType& destination) const = 0;
    virtual Result To(FromType&& source, ToType& destination) const = 0;

    // Kept for callers of the interface; failures travel only in the returned
    // Result, so there is never a last error to report.
    virtual const char* GetLastConversionError() const { return ""; }

protected:
    Converter& operator=(const Converter&) = default;
};

}  // namespace Orv::Common::Serialization
