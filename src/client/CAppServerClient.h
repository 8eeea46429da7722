#pragma once
// Client of the engine server (AppServer): one remote function call per TCP connection.
//
// The process has one client object, used through the free functions below from the request
// thread only. Each command connects (AppServerConnect or AppServerInit), makes its call
// (AppServerDoFunc) and releases the client (AppServerUninit); the next call resolves the host
// again. Failures never leave the free functions: they return the error's code (see Error) and
// log it. The socket of a call is closed once its answer is read.
//
// A call may name several engine servers ("spell1:2880,spell2:2880", see EngineServerList): they
// are tried in order, each with a short connect time-out, and a server that refused or did not
// answer the connection is tried last by this process's calls for a while (FailedServerMemory).
// Only the connection fails over: once a request was sent, its failure is the call's. The one
// exception is the engine's busy refusal ("Server busy..."), given before it does any work for
// the call: the same server is asked again after a short pause, at most kMaxBusyRetries times
// and never for longer in all than kMaxBusyPauseMs or the call's wait limit.
//
// Wire format: wire (request framing, line escaping, answer decoding).
#include <netinet/in.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "client/UniqueFd.h"
#include "utils/StringMap.h"

class CAppServerClient {
  public:
    // Codes of Error. -1..-9 are the protocol's; kAnswerTooLarge is ours.
    static constexpr int kCannotResolve = -1;
    static constexpr int kNotInitialized = -2;
    static constexpr int kServerError = -3;
    static constexpr int kBadAnswerHeader = -4;
    static constexpr int kDecodeError = -5;
    static constexpr int kSocketError = -6;
    static constexpr int kRecvError = -7;
    static constexpr int kNoHttpHeader = -8;
    static constexpr int kPartialContent = -9;
    static constexpr int kAnswerTooLarge = -10;

    // Wait between reads without limit ("appserver_wait_ms" = 0).
    static constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;
    // The wait between reads when "appserver_wait_ms" sets none: an engine server that hangs
    // fails the request with a clear error long before the watchdog ends the process.
    static constexpr std::uint32_t kDefaultWaitMs = 30000;
    // How long one server may take to accept a connection before the next one is tried
    // ("appserver_connect_ms").
    static constexpr std::uint32_t kDefaultConnectMs = 1000;
    // An answer that grows beyond this is refused with kAnswerTooLarge.
    static constexpr size_t kMaxAnswerBytes = 64u * 1024 * 1024;
    // Gives up after this many receive failures of the "other" class in a row.
    static constexpr int kMaxRetries = 999;
    static constexpr size_t kMaxMessageBytes = 4095;
    // Pauses before asking a busy engine again: the first, doubled each time, and their sum.
    static constexpr int kMaxBusyRetries = 3;
    static constexpr std::uint32_t kFirstBusyPauseMs = 50;
    static constexpr std::uint32_t kMaxBusyPauseMs = 350;

    class Error : public std::runtime_error {
      public:
        Error(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
        int code() const noexcept { return code_; }

      private:
        int code_;
    };

    // The process-wide client.
    static CAppServerClient& Instance();

    bool initialised() const { return initialised_; }
    // Forgets the resolved addresses and resolves every server `host` names (an entry without a
    // port takes `port`); an entry that does not resolve is left out with a warning. Throws
    // Error(kCannotResolve) when none resolves.
    void ResetAndResolve(const std::string& host, std::uint16_t port);
    void Reset();
    void SetWaitTimeMs(std::uint32_t ms) { waitMs_ = ms; }
    std::uint32_t waitTimeMs() const { return waitMs_; }
    void SetConnectTimeMs(std::uint32_t ms) { connectMs_ = ms; }
    std::uint32_t connectTimeMs() const { return connectMs_; }
    // The servers resolved by the last ResetAndResolve, as "address:port", in list order.
    std::vector<std::string> servers() const;
    // How often this process went on to the next server because one could not be reached.
    std::uint64_t failovers() const { return failovers_; }
    // How many calls of this process failed (AppServerInit, AppServerConnect, AppServerDoFunc).
    std::uint64_t failures() const { return failures_; }
    void NoteFailure() { ++failures_; }

    // Frames the call, sends it and decodes exactly `expected` results. Throws Error.
    std::vector<std::string> DoFunc(const std::string& function,
                                    const std::vector<std::string>& params, size_t expected);
    // Sends the request body of one call and returns the answer's content. Throws Error.
    std::string AppServerRequest(const std::string& function, const std::string& body);

    // Whether `content` is the engine's refusal of a call as busy.
    static bool IsBusyRefusal(std::string_view content);
    // Checks the first line of `content` and decodes exactly `expected` results. Throws Error.
    static std::vector<std::string> CheckAnswer(const std::string& function,
                                                const std::string& content, size_t expected);
    // Reads one answer from the connected socket `fd` (set non-blocking) and returns its
    // content. Throws Error.
    static std::string ReadAnswer(int fd, std::uint32_t waitMs);

    // The content of a complete answer `buffer` whose header ends at `headerEnd` (0: none found)
    // and declares `contentLength` bytes (0: to the end). Throws Error(-8 / -9).
    static std::string ExtractContent(const std::string& buffer, size_t headerEnd,
                                      int contentLength);

  private:
    struct Server {
        sockaddr_in address{};
        std::string label;  // "address:port", the key of FailedServerMemory
    };

    // A connected socket to the first server that accepts, in FailedServerMemory's order.
    // Throws Error(kSocketError) when none does.
    UniqueFd ConnectToAServer();

    bool initialised_ = false;
    std::vector<Server> servers_;
    std::uint32_t waitMs_ = kWaitForever;
    std::uint32_t connectMs_ = kDefaultConnectMs;
    std::uint64_t failovers_ = 0;
    std::uint64_t failures_ = 0;
};

// Initialises the client for `host` (name or dotted IPv4) and `port`. 0 on success, else the
// error's code (-1 when it was 0).
int AppServerInit(const std::string& host, std::uint16_t port);

// Initialises the client for `host` and `port`, the server the caller chose for the call.
// "appserver_wait_ms" in `map` sets the wait between reads (0: without limit; default
// kDefaultWaitMs), "appserver_connect_ms" the connect time-out of each server (default
// kDefaultConnectMs). 0 on success, else the error's code (-1 when it was 0).
int AppServerConnect(const StringMap& map, const std::string& host, std::uint16_t port);

// One remote call. 0 on success with `results` holding `expected` strings; else the error's code
// (-1 when it was 0) and `results` empty.
int AppServerDoFunc(const std::string& function, const std::vector<std::string>& params,
                    std::vector<std::string>& results, size_t expected);

void AppServerUninit();
