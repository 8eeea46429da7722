#include "client/FailedServerMemory.h"

#include <algorithm>

FailedServerMemory& FailedServerMemory::Process() {
    static FailedServerMemory memory;
    return memory;
}

void FailedServerMemory::MarkFailed(const std::string& server, Clock::time_point now) {
    if (failedAt_.size() >= kMaxRemembered && !failedAt_.contains(server)) {
        const auto oldest =
            std::min_element(failedAt_.begin(), failedAt_.end(),
                             [](const auto& a, const auto& b) { return a.second < b.second; });
        failedAt_.erase(oldest);
    }
    failedAt_[server] = now;
}

bool FailedServerMemory::IsHeldOff(const std::string& server, Clock::time_point now) const {
    const auto found = failedAt_.find(server);
    return found != failedAt_.end() && now - found->second < holdOff_;
}

std::vector<std::size_t> FailedServerMemory::TryOrder(const std::vector<std::string>& servers,
                                                      Clock::time_point now) const {
    std::vector<std::size_t> order;
    std::vector<std::size_t> heldOff;
    for (std::size_t i = 0; i < servers.size(); ++i)
        (IsHeldOff(servers[i], now) ? heldOff : order).push_back(i);
    order.insert(order.end(), heldOff.begin(), heldOff.end());
    return order;
}
