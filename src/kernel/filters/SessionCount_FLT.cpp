#include "kernel/filters/SessionCount_FLT.h"

#include <limits>

#include "utils/logging/SynchronizedFileProcessor.h"

namespace {

const char kInternalError[] = "SessionCounter::apply() - internal error.";
constexpr size_t kCounterLineBytes = 64;  // the first line is read up to 63 characters

uint32_t NewSessionCount(const std::string& logsDir) {
    SynchronizedFileProcessor counter(logsDir + "sc.log", "session_count", false);
    std::string firstLine;
    counter.ReadLine(firstLine, kCounterLineBytes);
    const uint32_t count = SessionCount_FLT::NextCount(firstLine);
    if (counter.IsOpen() && counter.Rewind() && counter.Write(std::to_string(count)))
        counter.TruncateHere();
    return count;
}

}  // namespace

uint32_t SessionCount_FLT::DecimalValue(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    constexpr uint64_t kMax = std::numeric_limits<uint32_t>::max();
    uint64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (value > kMax) return static_cast<uint32_t>(kMax);
    }
    return static_cast<uint32_t>(value);
}

SessionCount_FLT::SessionId SessionCount_FLT::ParseSessionId(std::string_view sessionId,
                                                             std::string_view serverId) {
    const size_t dot = sessionId.find('.');
    if (dot == std::string_view::npos) return {DecimalValue(serverId), 0};
    return {DecimalValue(sessionId.substr(0, dot)), DecimalValue(sessionId.substr(dot + 1))};
}

uint32_t SessionCount_FLT::NextCount(std::string_view firstLine) {
    const uint32_t next = DecimalValue(firstLine) + 1;  // wraps at the top
    return next == 0 ? 1 : next;
}

void SessionCount_FLT::apply(StringMap& map, InternalData& /*data*/) {
    try {
        count(map);
    } catch (const Filter::exception&) {
        throw;
    } catch (const std::exception& e) {
        VERB_THROW(SessionCount_FLTException, kInternalError + std::string(e.what()));
    } catch (...) {
        VERB_THROW(SessionCount_FLTException, kInternalError);
    }
}

void SessionCount_FLT::count(StringMap& map) {
    if (map["cmd"] == "script") return;
    map[":logs_dir:"] = map[":app_path:"] + "../" + "srv/logs/";
    SessionId id = ParseSessionId(map["sessionid"], map["server_id"]);
    map[":cmd__org:"] = map["cmd"];
    if (id.count == 0) {
        map[":cmd__org:"] += "_start";
        map[":session_start:"] = "";
        id.count = NewSessionCount(map[":logs_dir:"]);
    }
    map["sessionid"] = std::to_string(id.server) + "." + std::to_string(id.count);
}
