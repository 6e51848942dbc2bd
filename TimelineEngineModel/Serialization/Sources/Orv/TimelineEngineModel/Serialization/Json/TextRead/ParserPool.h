#pragma once

#include <simdjson.h>

#include <cstddef>
#include <memory>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

// Where the text reader's parsers come from. A parser's buffers grow with
// the texts it reads, and fresh buffers cost a page fault every 4 KiB on
// every call: on a 16 MB document, fresh ones took longer than the rest of
// the read on the machine measured. So:
//  - texts up to KeptCapacity use their thread's own parser, kept for the
//    thread's life (at most about 12 MB of address space per thread);
//  - larger texts share one spare parser per process, taken by one read at a
//    time (the others make their own) and kept only while its capacity is at
//    most SpareCapacity, however many threads read.
// Every parser refuses nesting deeper than FastTimelineReader::MaxDepth.
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

        simdjson::dom::parser& Parser() { return *parser; }

    private:
        simdjson::dom::parser* parser;
        std::unique_ptr<simdjson::dom::parser> owned;  // not the thread's own
    };
};

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
