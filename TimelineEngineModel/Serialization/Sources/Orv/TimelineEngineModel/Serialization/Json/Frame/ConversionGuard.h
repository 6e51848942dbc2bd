#pragma once

#include <Orv/Common/Serialization/Result.h>

#include <exception>
#include <new>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

using Orv::Common::Serialization::Result;

// A failed Result carrying `message`. Building it may itself run out of
// memory; the bad_alloc text fits the string's inline buffer, so that fallback
// cannot fail.
inline Result FailedResult(const char* message) noexcept {
    try {
        return Result(message);
    } catch (...) {
        return Result(std::bad_alloc().what());
    }
}

// Runs `work` and reports how it ended: success, or a failed Result with the
// text of the exception that left it. Nothing escapes.
template <typename Work>
Result RunGuarded(Work&& work) noexcept {
    try {
        work();
        return Result();
    } catch (const std::exception& error) {
        return FailedResult(error.what());
    } catch (...) {
        return FailedResult("unknown exception");
    }
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
