#pragma once
// Which engine servers failed to accept a connection lately, so that the next calls of this
// process (a FastCGI worker serves many) try the others first instead of waiting for the connect
// time-out again. A remembered server is still tried, last, when every other one fails too.
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class FailedServerMemory {
  public:
    using Clock = std::chrono::steady_clock;

    // How long a failed server is tried last.
    static constexpr std::chrono::seconds kDefaultHoldOff{30};
    // At most this many servers are remembered; the oldest failure is forgotten first.
    static constexpr std::size_t kMaxRemembered = 256;

    // The process's one instance (used from the request thread only).
    static FailedServerMemory& Process();

    void MarkFailed(const std::string& server, Clock::time_point now);
    void MarkWorking(const std::string& server) { failedAt_.erase(server); }
    // True while `server` failed less than the hold-off ago.
    bool IsHeldOff(const std::string& server, Clock::time_point now) const;

    // The indexes 0..servers.size()-1 in the order to try them: servers that are not held off in
    // their own order, then the held-off ones in their own order.
    std::vector<std::size_t> TryOrder(const std::vector<std::string>& servers,
                                      Clock::time_point now) const;

    void SetHoldOff(std::chrono::seconds holdOff) { holdOff_ = holdOff; }
    void Clear() { failedAt_.clear(); }

  private:
    std::map<std::string, Clock::time_point> failedAt_;
    std::chrono::seconds holdOff_ = kDefaultHoldOff;
};
