// Feeds arbitrary bytes to the engine-server client as a server's answer: the answer reader
// (header scan, Content-length, extraction) and the answer check and result decoding.
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "client/CAppServerClient.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t expected = data[0] % 5;
    const std::string answer(reinterpret_cast<const char*>(data + 1), size - 1);
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) return 0;
    const int bufferBytes = 1 << 20;
    setsockopt(fds[1], SOL_SOCKET, SO_SNDBUF, &bufferBytes, sizeof bufferBytes);
    setsockopt(fds[0], SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);
    size_t written = 0;
    while (written < answer.size()) {
        const ssize_t n = write(fds[1], answer.data() + written, answer.size() - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    close(fds[1]);
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    try {
        const std::string content = CAppServerClient::ReadAnswer(fds[0], 1000);
        CAppServerClient::CheckAnswer("fuzz", content, expected);
    } catch (const CAppServerClient::Error&) {
    }
    close(fds[0]);
    return 0;
}
