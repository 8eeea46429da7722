#pragma once
// A scripted engine server on 127.0.0.1 for client and handler tests. For each connection it
// reads one whole request, records it, then writes the chunks of the current script (pausing
// between them) and closes. Started on construction, stopped and joined on destruction.
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class FakeEngineServer {
  public:
    struct Script {
        std::vector<std::string> chunks;     // written in order
        std::chrono::milliseconds pause{0};  // between chunks
        bool readRequest = true;             // false: answer without reading
    };

    FakeEngineServer();
    ~FakeEngineServer();
    FakeEngineServer(const FakeEngineServer&) = delete;
    FakeEngineServer& operator=(const FakeEngineServer&) = delete;

    unsigned short port() const { return port_; }
    void SetScript(Script script);
    // Answers with a complete message: status line, Content-length and `content`.
    void AnswerWith(const std::string& content);
    // The next connections get these contents, one each in order, before the script again.
    void AnswerNextWith(std::vector<std::string> contents);
    // The requests received so far, byte for byte.
    std::vector<std::string> requests() const;

    // A whole answer message around `content`.
    static std::string Answer(const std::string& content);

  private:
    void serve();
    void handle(int fd);

    int listenFd_ = -1;
    unsigned short port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    Script script_;
    std::deque<std::string> next_;  // one-shot contents, before the script
    std::vector<std::string> requests_;
    std::thread thread_;
};

// A loopback port with nothing listening on it (bound, then released).
unsigned short UnusedLoopbackPort();

}  // namespace testsupport
