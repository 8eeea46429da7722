#pragma once
// The speller handles of one language. A handle is leased to one thread at a time; up to
// `maxHandles` are opened, on demand, and a thread that finds all of them busy waits for one.
// Thread-safe.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "spell/ISpeller.h"

class SpellerPool {
  public:
    using Factory = std::function<std::unique_ptr<ISpeller>()>;

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

    SpellerPool(std::string language, std::string backend, Factory factory, size_t maxHandles);

    // Throws std::runtime_error when a new handle cannot be opened.
    Lease Acquire();
    const std::string& language() const { return language_; }
    const std::string& backend() const { return backend_; }

  private:
    void Release(std::unique_ptr<ISpeller> speller);

    const std::string language_;
    const std::string backend_;
    const Factory factory_;
    const size_t maxHandles_;
    std::mutex mutex_;
    std::condition_variable available_;
    std::vector<std::unique_ptr<ISpeller>> idle_;
    size_t opened_ = 0;
};
