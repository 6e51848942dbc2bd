#pragma once

#include <simdjson.h>

#include <cstddef>
#include <memory>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// Where the text reader's parsers come from. A parser holds about 5.7 bytes
// of address space per byte of capacity (a structural index of 4 bytes per
// byte, a string buffer that the reader never touches); the index entries
// written become memory, about 0.7 bytes per byte of a generated document.
// Fresh buffers cost a page fault every 4 KiB on every call. Measured on
// generated documents: below a few MB a kept parser saves little, the
// allocator handing back the blocks just freed (11 against 23 faults per read
// of 1.6 MB); on 16 MB a fresh index costs 2868 faults against 409 (on the
// machine measured, 53 ms against 1.7 ms, more than the rest of the read).
// So:
//  - texts up to KeptCapacity use their thread's own parser, kept for the
//    thread's life (at most about 12 MB of address space per thread);
//  - larger texts share one spare parser per process, taken by one read at a
//    time (the others make their own) and kept only while its capacity is at
//    most SpareCapacity, so the process holds at most about 180 MB of address
//    space and 25 MB of memory for it, however many threads read.
class ParserPool {
public:
    static constexpr std::size_t KeptCapacity = std::size_t{2} << 20;
    static constexpr std::size_t SpareCapacity = std::size_t{32} << 20;

    // A parser for a text of `size` bytes, for the duration of one read.
    class Lease {
    public:
        explicit Lease(std::size_t size);
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        ~Lease();

        simdjson::ondemand::parser& Parser() { return *parser; }

    private:
        simdjson::ondemand::parser* parser;
        std::unique_ptr<simdjson::ondemand::parser> owned;  // not the thread's own
    };
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
