#pragma once
// The engine servers a call may go to, in the order they are tried: "host", "host:port" or
// several of them separated by commas ("spell1:2880,spell2:2880"). An entry without a port takes
// the default port. The list is bounded so that a hostile or mistaken setting cannot make one
// call try servers without end.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class EngineServerList {
  public:
    struct Entry {
        std::string host;
        std::uint16_t port = 0;
        bool operator==(const Entry&) const = default;
    };

    static constexpr std::size_t kMaxEntries = 16;

    // Blanks around entries are dropped and empty entries skipped. A port that is not a decimal
    // number from 1 to 65535 keeps the entry with port 0 (where nothing listens), as a single
    // server with a bad port always did. Entries past kMaxEntries are dropped.
    static std::vector<Entry> Parse(std::string_view list, std::uint16_t defaultPort);

    // True when `list` names more than one server (a comma outside blanks).
    static bool IsList(std::string_view list) { return list.find(',') != std::string_view::npos; }
};
