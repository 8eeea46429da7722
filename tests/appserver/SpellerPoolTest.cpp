// SpellerPool's replacement of worn handles: no answer changes, no request waits for it, and
// every worn handle closes once its replacement serves.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

#include "spell/AspellBackend.h"
#include "spell/SpellerPool.h"

namespace {

struct Counters {
    std::atomic<int> opened{0};
    std::atomic<int> closed{0};
    std::atomic<bool> failOpen{false};
    std::atomic<int> failed{0};
};

class FakeSpeller : public ISpeller {
  public:
    FakeSpeller(Counters& counters, int id) : counters_(counters), id_(id) {}
    ~FakeSpeller() override { ++counters_.closed; }
    bool Check(std::string_view word) override { return word == "good"; }
    std::vector<std::string> Suggest(std::string_view, size_t) override {
        ++wear_;
        return {"good"};
    }
    size_t Wear() const override { return wear_; }
    int id() const { return id_; }

  private:
    Counters& counters_;
    int id_;
    size_t wear_ = 0;
};

constexpr size_t kLimit = 3;

SpellerPool::Factory FactoryOf(Counters& counters) {
    return [&counters]() -> std::unique_ptr<ISpeller> {
        if (counters.failOpen) {
            ++counters.failed;
            throw std::runtime_error("cannot open");
        }
        return std::make_unique<FakeSpeller>(counters, ++counters.opened);
    };
}

int IdOf(const SpellerPool::Lease& lease) { return dynamic_cast<FakeSpeller&>(*lease).id(); }

void WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void Wear(const SpellerPool::Lease& lease, size_t times) {
    for (size_t i = 0; i < times; ++i) EXPECT_EQ(lease->Suggest("goood", 5).size(), 1u);
}

TEST(SpellerPoolTest, WornHandleIsReplacedWhileTheOthersServe) {
    struct Row {
        const char* name;
        bool leasedDuringRenewal;  // the worn handle is out when its replacement is ready
    };
    for (const Row row : {Row{"idle when replaced", false}, Row{"leased when replaced", true}}) {
        SCOPED_TRACE(row.name);
        Counters counters;
        SpellerPool pool("xx", "fake", FactoryOf(counters), 1, kLimit);
        {
            SpellerPool::Lease first = pool.Acquire();
            Wear(first, kLimit);
        }  // returns worn: the replacement is asked for, the worn handle keeps serving
        if (row.leasedDuringRenewal) {
            SpellerPool::Lease worn = pool.Acquire();
            EXPECT_EQ(IdOf(worn), 1);
            EXPECT_TRUE(worn->Check("good"));
            WaitFor([&] { return counters.opened == 2; });
            // The replacement serves beside the worn handle, over the one-handle limit.
            SpellerPool::Lease fresh = pool.Acquire();
            EXPECT_EQ(IdOf(fresh), 2);
        }
        WaitFor([&] { return pool.renewed() == 1 && counters.closed == 1; });
        EXPECT_EQ(pool.renewed(), 1u);
        EXPECT_EQ(counters.closed, 1);
        SpellerPool::Lease next = pool.Acquire();
        EXPECT_EQ(IdOf(next), 2);
        EXPECT_EQ(next->Wear(), 0u);
    }
}

TEST(SpellerPoolTest, FailedRenewalKeepsTheWornHandleServingAndAsksAgain) {
    Counters counters;
    SpellerPool pool("xx", "fake", FactoryOf(counters), 1, kLimit);
    {
        SpellerPool::Lease lease = pool.Acquire();
        Wear(lease, kLimit);
        counters.failOpen = true;
    }
    WaitFor([&] { return counters.failed == 1; });
    EXPECT_EQ(IdOf(pool.Acquire()), 1);
    counters.failOpen = false;
    // A release asks again once the pool has booked the failure, which may come a little after
    // the factory threw.
    WaitFor([&] {
        { SpellerPool::Lease lease = pool.Acquire(); }
        return pool.renewed() == 1;
    });
    EXPECT_EQ(pool.renewed(), 1u);
    EXPECT_EQ(IdOf(pool.Acquire()), 2);
}

TEST(SpellerPoolTest, ManyThreadsWearingHandlesEndWithEveryWornOneClosed) {
    Counters counters;
    {
        SpellerPool pool("xx", "fake", FactoryOf(counters), 2, kLimit);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&] {
                for (int i = 0; i < 200; ++i) Wear(pool.Acquire(), 1);
            });
        for (auto& t : threads) t.join();
        WaitFor([&] { return pool.renewed() > 0; });
        EXPECT_GT(pool.renewed(), 0u);
    }
    EXPECT_EQ(counters.opened, counters.closed);
}

// A renewed Aspell speller answers as the one it replaced (the library's state is a cache).
TEST(SpellerPoolTest, RenewedAspellSpellerGivesTheSameSuggestions) {
    const auto open = [] { return std::make_unique<AspellBackend>("/usr/lib/aspell", "en_US"); };
    SpellerPool pool("en_US", "aspell", open, 1, 2);
    AspellBackend reference("/usr/lib/aspell", "en_US");
    size_t asked = 0;
    for (const char* word : {"recieve", "teh", "comittee", "excelent", "recieve", "teh"}) {
        SCOPED_TRACE(word);
        EXPECT_EQ(pool.Acquire()->Suggest(word, 10), reference.Suggest(word, 10));
        WaitFor([&] { return pool.renewed() == ++asked / 2; });
    }
    EXPECT_EQ(pool.renewed(), 3u);
}

}  // namespace
