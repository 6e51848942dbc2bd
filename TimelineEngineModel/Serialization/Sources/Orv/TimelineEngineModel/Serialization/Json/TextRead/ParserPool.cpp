#include "ParserPool.h"

#include "FastTimelineReader.h"

#include <atomic>
#include <new>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

namespace {

namespace dom = simdjson::dom;

// A parser that allocates its buffers as texts need them.
std::unique_ptr<dom::parser> MakeParser() {
    auto parser = std::make_unique<dom::parser>();
    if (parser->allocate(0, FastTimelineReader::MaxDepth) != simdjson::SUCCESS) {
        throw std::bad_alloc();
    }
    return parser;
}

class SpareParser {
public:
    SpareParser() = default;
    SpareParser(const SpareParser&) = delete;
    SpareParser& operator=(const SpareParser&) = delete;
    ~SpareParser() { delete parser.exchange(nullptr); }

    std::unique_ptr<dom::parser> Take() {
        std::unique_ptr<dom::parser> taken(parser.exchange(nullptr));
        return taken ? std::move(taken) : MakeParser();
    }

    // Keeps `used` unless it grew too large or another one is kept already.
    void GiveBack(std::unique_ptr<dom::parser> used) {
        dom::parser* none = nullptr;
        if (used->capacity() <= ParserPool::SpareCapacity && parser.compare_exchange_strong(none, used.get())) {
            used.release();
        }
    }

private:
    std::atomic<dom::parser*> parser{nullptr};
};

SpareParser spareParser;

}  // namespace

ParserPool::Lease::Lease(std::size_t size) {
    if (size <= KeptCapacity) {
        thread_local const std::unique_ptr<dom::parser> kept = MakeParser();
        parser = kept.get();
    } else {
        owned = spareParser.Take();
        parser = owned.get();
    }
}

ParserPool::Lease::~Lease() {
    if (owned) {
        spareParser.GiveBack(std::move(owned));
    }
}

}  // namespace Orv::TimelineEngineModel::Serialization::Json::Detail
