// Allocation failure: every case of ConversionCase.h runs with the Nth
// allocation of its call failing, for N = 1, 2, ... until the call makes fewer
// than N. Each failure must come back as std::bad_alloc's what(), returned in a
// failed Result or, where exceptions pass, thrown; the target must stay usable
// (a writer's Stringer with every scope closed and well-formed text, a reader's
// partial result writable); and the next call into the same target must give
// the expected result. Leaks and memory errors are left to the sanitizer and
// valgrind runs. The global operator new is replaced: a plain program.

#include "ConversionCase.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace {

// Counted only while armed; the allocation whose number is failAt fails.
bool armed = false;
std::size_t allocations = 0;
std::size_t failAt = 0;

void* TryAllocate(std::size_t size) noexcept {
    return armed && ++allocations == failAt ? nullptr : std::malloc(size == 0 ? 1 : size);
}

void* Allocate(std::size_t size) {
    if (void* memory = TryAllocate(size)) {
        return memory;
    }
    throw std::bad_alloc();
}

using namespace Orv::Testing;

// The typical document's cases, and a regression: a close that comes when the
// Stringer's buffer is full must not need memory, or a failed allocation
// leaves the object open while the write reports success. Texts of every
// length from 217 to 1125 bytes put a closing bracket at the end of the first
// buffer, whatever its size in that range; in the timeline, the track's object
// closes inside the array.
std::vector<ConversionCase> AllCases() {
    std::vector<ConversionCase> cases;
    AddTypicalCases(cases, 7);
    for (std::size_t length = 200; length <= 1100; ++length) {
        const std::string at = " [close at a full buffer, " + std::to_string(length) + "]";
        const Track bare(Identifier(std::string(length, 'f')));
        AddWriter<TrackToJsonConverter>(cases, "TrackToJsonConverter" + at, bare, false);
        Timeline holder;
        holder.Tracks().push_back(Track(Identifier(std::string(length - 26, 'n'))));
        AddWriter<TimelineToJsonConverter>(cases, "TimelineToJsonConverter" + at, holder, false);
        const MediaInfo plain(Identifier(std::string(length, 'm')), 0, 0, std::string());
        AddWriter<MediaInfoToJsonConverter>(cases, "MediaInfoToJsonConverter" + at, plain, false);
    }
    return cases;
}

// "" when the case kept every promise, or what it broke.
std::string Run(const ConversionCase& c, std::size_t& points) {
    // The call with its Nth allocation failing (none for 0): its failure text,
    // "" for success. Nothing allocates while armed but the call itself.
    bool thrown = false;
    const auto call = [&c, &thrown](std::size_t n) -> std::string {
        allocations = 0;
        failAt = n;
        armed = true;
        try {
            const Result result = c.call();
            armed = thrown = false;
            return result.ErrorMessage();
        } catch (const std::exception& error) {
            armed = false;
            thrown = true;
            return error.what();
        }
    };
    const std::string badAlloc = std::bad_alloc().what();
    for (std::size_t n = 1; n <= 100000; ++n) {
        c.prepare(true);
        const std::string failure = call(n);
        const std::string at = "allocation " + std::to_string(n) + ": ";
        if (allocations < n) {  // the call ended before its Nth allocation
            return failure.empty() ? c.check(false) : at + "failed although nothing failed: " + failure;
        }
        ++points;
        if (failure.empty() ? !c.absorbs : failure != badAlloc || thrown != c.throws) {
            return at + (failure.empty() ? "succeeded" : (thrown ? "threw " : "returned ") + failure);
        }
        if (const std::string broken = c.check(true); !broken.empty()) {
            return at + "after it: " + broken;
        }
        c.prepare(false);
        const std::string next = call(0);
        if (const std::string wrong = next.empty() ? c.check(false) : next; !wrong.empty()) {
            return at + "the next call: " + wrong;
        }
    }
    return "more than 100000 allocations: a loop?";
}

}  // namespace

// Every form, or a sanitizer runtime would pair its own forms with these.
void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return TryAllocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return TryAllocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

int main() {
    std::size_t failed = 0;
    std::size_t points = 0;
    const std::vector<ConversionCase> cases = AllCases();
    for (const ConversionCase& c : cases) {
        if (const std::string problem = Run(c, points); !problem.empty()) {
            std::printf("FAIL %s\n     %s\n", c.name.c_str(), problem.c_str());
            ++failed;
        }
    }
    std::printf("%zu passed, %zu failed; %zu allocation failures survived\n", cases.size() - failed, failed, points);
    return failed == 0 ? 0 : 1;
}
