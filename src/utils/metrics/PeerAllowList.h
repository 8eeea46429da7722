#pragma once
// The peers allowed to read metrics: IPv4 and IPv6 addresses or networks ("ADDRESS/BITS"),
// separated by commas. An IPv4 peer that arrives as an IPv4-mapped IPv6 address matches the
// IPv4 entries.
#include <sys/socket.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class PeerAllowList {
  public:
    static constexpr char kLoopback[] = "127.0.0.0/8,::1";

    // Nullopt when an entry is not an address or network (the list is the operator's).
    static std::optional<PeerAllowList> Parse(const std::string& list);

    bool Allows(const sockaddr_storage& peer) const;

  private:
    struct Network {
        bool v6 = false;
        std::array<std::uint8_t, 16> bytes{};
        int bits = 0;
    };
    static bool Matches(const Network& network, bool v6, const std::uint8_t* address);

    std::vector<Network> networks_;
};
