#include "ParserPool.h"

#include <atomic>

namespace Orv::TimelineEngineModel::Serialization::Json::Detail {

namespace {

namespace od = simdjson::ondemand;

class SpareParser {
public:
    SpareParser() = default;
    SpareParser(const SpareParser&) = delete;
    SpareParser& operator=(const SpareParser&) = delete;
    ~SpareParser() { delete parser.exchange(nullptr); }

    std::unique_ptr<od::parser> Take() {
        std::unique_ptr<od::parser> taken(parser.exchange(nullptr));
        return taken ? std::move(taken) : std::make_unique<od::parser>();
    }

    // Keeps `used` unless it grew too large or another one is kept already.
    void GiveBack(std::unique_ptr<od::parser> used) {
        od::parser* none = nullptr;
        if (used->capacity() <= ParserPool::SpareCapacity && parser.compare_exchange_strong(none, used.get())) {
            used.release();
        }
    }

private:
    std::atomic<od::parser*> parser{nullptr};
};

SpareParser spareParser;

}  // namespace

ParserPool::Lease::Lease(std::size_t size) {
    if (size <= KeptCapacity) {
        thread_local od::parser kept;
        parser = &kept;
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
