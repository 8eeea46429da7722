#pragma once
// Gives the heap's free memory back to the system once the server has been idle for a while:
// between requests the heap keeps a working margin (HeapSettings), which an idle server need
// not hold. `activity` is a counter that changes with every request served; it is read every
// `idleMs`, and the heap is trimmed once per idle spell (between one and two `idleMs` after the
// last change). Runs its own thread from construction until destruction.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class IdleTrimmer {
  public:
    static constexpr int kDefaultIdleMs = 5000;

    IdleTrimmer(std::function<unsigned long long()> activity, int idleMs = kDefaultIdleMs);
    ~IdleTrimmer();
    IdleTrimmer(const IdleTrimmer&) = delete;
    IdleTrimmer& operator=(const IdleTrimmer&) = delete;

    unsigned long long trims() const;

  private:
    void Loop();

    const std::function<unsigned long long()> activity_;
    const int idleMs_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    unsigned long long trims_ = 0;
    std::thread thread_;
};
