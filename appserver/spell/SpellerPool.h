#pragma once
// The speller handles of one language. A handle is leased to one thread at a time; up to
// `maxHandles` are opened, on demand, and a thread that finds all of them busy waits for one.
// Thread-safe.
//
// A handle whose back end keeps memory for the work it has done (ISpeller::Wear) is replaced
// once its wear reaches `wearLimit`: a background thread opens the replacement while the worn
// handle goes on serving, then the worn one is closed. No request waits for the opening and
// every answer stays the same (a fresh handle answers as the worn one did).
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "spell/ISpeller.h"

class SpellerPool {
  public:
    using Factory = std::function<std::unique_ptr<ISpeller>()>;
    // About 16 MB kept by an Aspell speller; opening its replacement takes some 40 ms.
    static constexpr size_t kDefaultWearLimit = 2000;

    // Returns its handle to the pool on destruction.
    class Lease {
      public:
        Lease(SpellerPool& pool, std::unique_ptr<ISpeller> speller)
            : pool_(&pool), speller_(std::move(speller)) {}
        Lease(Lease&&) = default;
        Lease& operator=(Lease&&) = delete;
        ~Lease();
        ISpeller* operator->() const { return speller_.get(); }
        ISpeller& operator*() const { return *speller_; }

      private:
        SpellerPool* pool_;
        std::unique_ptr<ISpeller> speller_;
    };

    SpellerPool(std::string language, std::string backend, Factory factory, size_t maxHandles,
                size_t wearLimit = kDefaultWearLimit);
    ~SpellerPool();
    SpellerPool(const SpellerPool&) = delete;
    SpellerPool& operator=(const SpellerPool&) = delete;

    // Throws std::runtime_error when a new handle cannot be opened.
    Lease Acquire();
    const std::string& language() const { return language_; }
    const std::string& backend() const { return backend_; }
    // Handles replaced because of their wear so far.
    size_t renewed() const;
    // Where the library's suggestions come from when not from this pool's own handles: a pool
    // of a faster back end for the same language (null: none). Set before requests; dropped
    // for good when it fails (DropSuggestionSource: true for the call that dropped it).
    SpellerPool* suggestionSource() const { return suggestionSource_.load(); }
    void SetSuggestionSource(SpellerPool* source) { suggestionSource_.store(source); }
    bool DropSuggestionSource() { return suggestionSource_.exchange(nullptr) != nullptr; }

  private:
    void Release(std::unique_ptr<ISpeller> speller);
    bool Worn(const ISpeller& speller) const { return speller.Wear() >= wearLimit_; }
    bool Asked(const ISpeller* speller) const;
    void RenewLoop();
    // Closes a replaced handle (none when null) and gives the memory it held back to the system.
    static void Close(std::unique_ptr<ISpeller> retired);
    // With the lock held: the replacement takes an idle worn handle's place (that one is
    // returned, to be closed without the lock), or serves beside the worn ones until one of
    // them comes back.
    std::unique_ptr<ISpeller> Install(std::unique_ptr<ISpeller> fresh);

    const std::string language_;
    const std::string backend_;
    const Factory factory_;
    const size_t maxHandles_;
    const size_t wearLimit_;
    std::atomic<SpellerPool*> suggestionSource_{nullptr};
    mutable std::mutex mutex_;
    std::condition_variable available_;
    std::vector<std::unique_ptr<ISpeller>> idle_;
    size_t opened_ = 0;

    // Worn handles that asked for a replacement and still serve (each asks once, at its first
    // return at or over the limit). Of their replacements, `pending_` are still to be opened
    // and `spare_` serve already beside them: as many worn handles close when they come back.
    std::vector<const ISpeller*> worn_;
    size_t pending_ = 0;
    size_t spare_ = 0;
    size_t renewed_ = 0;
    bool stopping_ = false;
    std::condition_variable renewalWanted_;
    std::thread renewer_;
};
