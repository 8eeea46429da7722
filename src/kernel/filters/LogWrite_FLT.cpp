#include "kernel/filters/LogWrite_FLT.h"

#include <sys/time.h>

#include <cstdio>
#include <cstdlib>

#include "utils/logging/KeptAppendFile.h"
#include "utils/logging/LogFieldEscape.h"

namespace {

const char kInternalError[] = "LogWriter::apply() - internal error.";

std::string_view Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The commands whose log line names the word they worked on.
bool LogsWord(const std::string& command, const std::string& action) {
    return command == "sp_ch" || command == "sp_ch_all" || command == "gr_ch" ||
           command == "th_ch" || action.find("replaceWord") != std::string::npos;
}

// Each field escaped straight into the line.
class LineBuilder {
  public:
    static constexpr std::size_t kUsualLineBytes = 256;

    LineBuilder() { line_.reserve(kUsualLineBytes); }
    void Field(std::string_view value) {
        AppendLogFieldEscaped(value, line_);
        line_ += '\t';
    }
    std::string Finish() {
        line_ += '\n';
        return std::move(line_);
    }

  private:
    std::string line_;
};

}  // namespace

std::string LogWrite_FLT::LogFilePath(const std::string& logsDir, const std::tm& now) {
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%Y.%m.%d.%H.", &now);
    return logsDir + stamp + "orthd.log";
}

std::string LogWrite_FLT::FormatLine(StringMap& map, const std::tm& now, unsigned millis) {
    char date[32];
    std::snprintf(date, sizeof date, "%02u/%02u/%02u", static_cast<unsigned>(now.tm_mon + 1),
                  static_cast<unsigned>(now.tm_mday),
                  static_cast<unsigned>(now.tm_year + 1900 - 2000));
    char time[32];
    std::snprintf(time, sizeof time, "%02u:%02u:%02u.%u", static_cast<unsigned>(now.tm_hour),
                  static_cast<unsigned>(now.tm_min), static_cast<unsigned>(now.tm_sec), millis);

    LineBuilder line;
    line.Field(date);
    line.Field(time);
    line.Field(Env("REMOTE_ADDR"));
    line.Field(Env("HTTP_REFERER"));
    line.Field(map.count("init") != 0 ? map["sid"] : map["sessionid"]);
    line.Field(map[":cmd__org:"]);
    line.Field(map["last_svc_time"]);
    line.Field(map["customerid"]);
    line.Field(Env("HTTP_USER_AGENT"));
    line.Field(map["statinfo"]);
    if (!map["statinfo"].empty()) map["statinfo"] = "1";
    line.Field(map["slang"]);
    line.Field(map[":word_org:"]);
    line.Field(map["intlang"]);
    line.Field(map["schema"]);
    line.Field(map["bnr"]);
    line.Field(LogsWord(map[":cmd__org:"], map["action"]) ? map["word"] : std::string());
    line.Field(map["action"]);
    return line.Finish();
}

void LogWrite_FLT::apply(StringMap& map, InternalData& /*data*/) {
    try {
        write(map);
    } catch (const Filter::exception&) {
        throw;
    } catch (const std::exception& e) {
        VERB_THROW(LogException, kInternalError + std::string(e.what()));
    } catch (...) {
        VERB_THROW(LogException, kInternalError);
    }
}

void LogWrite_FLT::write(StringMap& map) {
    const std::string logsDir = map[":logs_dir:"];
    if (logsDir.empty()) return;
    timeval clock{};
    gettimeofday(&clock, nullptr);
    std::tm now{};
    localtime_r(&clock.tv_sec, &now);
    const std::string line = FormatLine(map, now, static_cast<unsigned>(clock.tv_usec / 1000));
    // One whole line in one O_APPEND write: concurrent processes never interleave, no lock. The
    // file stays open for the process's next requests.
    static KeptAppendFile file;
    file.Write(LogFilePath(logsDir, now), line,
               static_cast<long long>(clock.tv_sec) * 1000 + clock.tv_usec / 1000);
}
