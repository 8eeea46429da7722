#include "spell/SpellerPool.h"

#include <algorithm>
#include <exception>

#include "core/Log.h"
#include "utils/HeapSettings.h"

SpellerPool::Lease::~Lease() {
    if (speller_) pool_->Release(std::move(speller_));
}

SpellerPool::SpellerPool(std::string language, std::string backend, Factory factory,
                         size_t maxHandles, size_t wearLimit)
    : language_(std::move(language)),
      backend_(std::move(backend)),
      factory_(std::move(factory)),
      maxHandles_(maxHandles == 0 ? 1 : maxHandles),
      wearLimit_(wearLimit == 0 ? 1 : wearLimit) {}

SpellerPool::~SpellerPool() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    renewalWanted_.notify_all();
    if (renewer_.joinable()) renewer_.join();
}

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

size_t SpellerPool::renewed() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return renewed_;
}

void SpellerPool::Close(std::unique_ptr<ISpeller> retired) {
    if (!retired) return;
    retired.reset();
    // A closed speller frees megabytes in the arenas of the threads that served it; with the
    // trim threshold raised for requests they would stay resident while the engine is busy (the
    // idle trimmer never runs then).
    HeapSettings::GiveBack();
}

bool SpellerPool::Asked(const ISpeller* speller) const {
    return std::find(worn_.begin(), worn_.end(), speller) != worn_.end();
}

void SpellerPool::Release(std::unique_ptr<ISpeller> speller) {
    std::unique_ptr<ISpeller> retired;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (Worn(*speller)) {
            if (!Asked(speller.get())) {
                worn_.push_back(speller.get());
                ++pending_;
                if (!renewer_.joinable()) renewer_ = std::thread([this] { RenewLoop(); });
                renewalWanted_.notify_one();
            } else if (spare_ > 0) {
                --spare_;
                worn_.erase(std::find(worn_.begin(), worn_.end(), speller.get()));
                --opened_;
                ++renewed_;
                retired = std::move(speller);
            }
        }
        if (speller) idle_.push_back(std::move(speller));
    }
    available_.notify_one();
    Close(std::move(retired));  // after the lock
}

std::unique_ptr<ISpeller> SpellerPool::Install(std::unique_ptr<ISpeller> fresh) {
    --pending_;
    const auto worn = std::find_if(idle_.begin(), idle_.end(),
                                   [this](const auto& idle) { return Asked(idle.get()); });
    if (worn == idle_.end()) {
        idle_.push_back(std::move(fresh));
        ++opened_;
        ++spare_;
        return nullptr;
    }
    worn_.erase(std::find(worn_.begin(), worn_.end(), worn->get()));
    ++renewed_;
    std::swap(*worn, fresh);
    return fresh;
}

void SpellerPool::RenewLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        renewalWanted_.wait(lock, [this] { return stopping_ || pending_ > 0; });
        if (stopping_) return;
        lock.unlock();
        std::unique_ptr<ISpeller> fresh;
        std::string failure;
        try {
            fresh = factory_();
        } catch (const std::exception& e) {
            failure = e.what();
        }
        lock.lock();
        std::unique_ptr<ISpeller> retired;
        if (fresh) {
            retired = Install(std::move(fresh));
        } else {
            // The worn handle goes on serving.
            --pending_;
            worn_.pop_back();  // worn handles are alike: any one of them asks again
        }
        lock.unlock();
        available_.notify_one();
        if (!failure.empty()) Log::Warning("cannot renew a " + language_ + " speller: " + failure);
        Close(std::move(retired));
        lock.lock();
    }
}
