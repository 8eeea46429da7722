#include "spell/SpellerPool.h"

SpellerPool::Lease::~Lease() {
    if (speller_) pool_->Release(std::move(speller_));
}

SpellerPool::SpellerPool(std::string language, std::string backend, Factory factory,
                         size_t maxHandles)
    : language_(std::move(language)),
      backend_(std::move(backend)),
      factory_(std::move(factory)),
      maxHandles_(maxHandles == 0 ? 1 : maxHandles) {}

SpellerPool::Lease SpellerPool::Acquire() {
    std::unique_lock<std::mutex> lock(mutex_);
    available_.wait(lock, [this] { return !idle_.empty() || opened_ < maxHandles_; });
    if (!idle_.empty()) {
        std::unique_ptr<ISpeller> speller = std::move(idle_.back());
        idle_.pop_back();
        return Lease(*this, std::move(speller));
    }
    ++opened_;
    lock.unlock();
    try {
        return Lease(*this, factory_());
    } catch (...) {
        lock.lock();
        --opened_;
        available_.notify_one();
        throw;
    }
}

void SpellerPool::Release(std::unique_ptr<ISpeller> speller) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        idle_.push_back(std::move(speller));
    }
    available_.notify_one();
}
