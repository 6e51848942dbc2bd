// Every case of ConversionCase.h on eight threads at once, each thread with its
// own targets, all through the one instance of each converter: every result
// must be the one worked out on a single thread. CI runs this under
// ThreadSanitizer, which also reports any data race.

#include "ConversionCase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using Orv::Testing::ConversionCase;

TEST(ConcurrencyTest, SharedConvertersGiveTheSingleThreadedResultsOnEveryThread) {
    constexpr std::size_t ThreadCount = 8;
    std::vector<std::vector<ConversionCase>> tables(ThreadCount);  // expected results made here
    for (std::vector<ConversionCase>& table : tables) {
        for (std::uint64_t seed = 1000; seed < 1006; ++seed) {
            Orv::Testing::AddTypicalCases(table, seed);
        }
    }
    std::atomic<std::size_t> ready{0};
    std::atomic<std::size_t> wrong{0};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < ThreadCount; ++t) {
        // All start together, each at another case, and run every case twice.
        threads.emplace_back([&, t] {
            for (++ready; ready.load() < ThreadCount;) {
                std::this_thread::yield();
            }
            for (std::size_t i = 0; i < 2 * tables[t].size(); ++i) {
                const ConversionCase& c = tables[t][(i + t * tables[t].size() / ThreadCount) % tables[t].size()];
                c.prepare(true);
                wrong += !c.call() || !c.check(false).empty();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong.load(), 0u);
}

}  // namespace
