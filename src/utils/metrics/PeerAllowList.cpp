#include "utils/metrics/PeerAllowList.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <charconv>
#include <cstring>
#include <sstream>

namespace {

std::string Trimmed(const std::string& s) {
    const size_t begin = s.find_first_not_of(" \t");
    if (begin == std::string::npos) return "";
    return s.substr(begin, s.find_last_not_of(" \t") - begin + 1);
}

}  // namespace

std::optional<PeerAllowList> PeerAllowList::Parse(const std::string& list) {
    PeerAllowList allow;
    std::stringstream in(list);
    std::string entry;
    while (std::getline(in, entry, ',')) {
        entry = Trimmed(entry);
        if (entry.empty()) continue;
        Network network;
        const size_t slash = entry.find('/');
        const std::string address = entry.substr(0, slash);
        if (inet_pton(AF_INET, address.c_str(), network.bytes.data()) == 1) {
            network.bits = 32;
        } else if (inet_pton(AF_INET6, address.c_str(), network.bytes.data()) == 1) {
            network.v6 = true;
            network.bits = 128;
        } else {
            return std::nullopt;
        }
        if (slash != std::string::npos) {
            const std::string bits = entry.substr(slash + 1);
            int value = -1;
            const auto [end, error] =
                std::from_chars(bits.data(), bits.data() + bits.size(), value);
            if (error != std::errc() || end != bits.data() + bits.size() || bits.empty() ||
                value < 0 || value > network.bits)
                return std::nullopt;
            network.bits = value;
        }
        allow.networks_.push_back(network);
    }
    return allow;
}

bool PeerAllowList::Matches(const Network& network, bool v6, const std::uint8_t* address) {
    if (network.v6 != v6) return false;
    const int whole = network.bits / 8;
    if (std::memcmp(network.bytes.data(), address, static_cast<size_t>(whole)) != 0) return false;
    const int rest = network.bits % 8;
    if (rest == 0) return true;
    const auto mask = static_cast<std::uint8_t>(0xFF << (8 - rest));
    return (network.bytes[static_cast<size_t>(whole)] & mask) == (address[whole] & mask);
}

bool PeerAllowList::Allows(const sockaddr_storage& peer) const {
    bool v6 = false;
    const std::uint8_t* address = nullptr;
    if (peer.ss_family == AF_INET) {
        address = reinterpret_cast<const std::uint8_t*>(
            &reinterpret_cast<const sockaddr_in&>(peer).sin_addr);
    } else if (peer.ss_family == AF_INET6) {
        const auto& in6 = reinterpret_cast<const sockaddr_in6&>(peer).sin6_addr;
        address = reinterpret_cast<const std::uint8_t*>(&in6);
        v6 = !IN6_IS_ADDR_V4MAPPED(&in6);
        if (!v6) address += 12;  // the IPv4 address at the end
    } else {
        return false;
    }
    for (const Network& network : networks_)
        if (Matches(network, v6, address)) return true;
    return false;
}
