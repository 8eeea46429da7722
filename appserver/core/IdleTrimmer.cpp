#include "core/IdleTrimmer.h"

#include <chrono>

#include "utils/HeapSettings.h"

IdleTrimmer::IdleTrimmer(std::function<unsigned long long()> activity, int idleMs)
    : activity_(std::move(activity)), idleMs_(idleMs < 1 ? 1 : idleMs) {
    thread_ = std::thread([this] { Loop(); });
}

IdleTrimmer::~IdleTrimmer() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

unsigned long long IdleTrimmer::trims() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return trims_;
}

void IdleTrimmer::Loop() {
    unsigned long long seen = activity_();
    bool trimmed = false;
    std::unique_lock<std::mutex> lock(mutex_);
    while (
        !wake_.wait_for(lock, std::chrono::milliseconds(idleMs_), [this] { return stopping_; })) {
        const unsigned long long now = activity_();
        if (now != seen) {
            seen = now;
            trimmed = false;
        } else if (!trimmed) {
            HeapSettings::GiveBack();
            trimmed = true;
            ++trims_;
        }
    }
}
