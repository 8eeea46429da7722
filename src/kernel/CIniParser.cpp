#include "kernel/CIniParser.h"

#include "utils/FileCache.h"

namespace {

// The file was written for a platform whose text mode turns CR LF into LF before parsing; a
// backslash before CR LF must still continue the line.
std::string CrLfToLf(const std::string& raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        out += raw[i];
    }
    return out;
}

// The state of the single pass of ParseIniText.
class IniScanner {
  public:
    explicit IniScanner(CIniParser::Entries& out) : out_(out) {}

    void Feed(char c) {
        if (escaped_) {
            escaped_ = false;
            Ordinary(c);
        } else if (c == '\n') {
            LineEnd();
        } else if (inComment_) {
            // dropped
        } else if (c == '\\') {
            escaped_ = true;
        } else if (c == '#') {
            inComment_ = true;
        } else if (c == '=') {
            inKey_ = false;
        } else if (c == '"' && !inKey_) {
            inQuotes_ = !inQuotes_;
        } else {
            Ordinary(c);
        }
    }

    void Finish() {
        if (!key_.empty() && !value_.empty()) Commit();
    }

  private:
    void LineEnd() {
        if (inComment_) {
            inComment_ = false;
        } else if (!key_.empty() && !value_.empty() && !inQuotes_) {
            const size_t end = value_.find_last_not_of(' ');
            value_.erase(end == std::string::npos ? 0 : end + 1);
            Commit();
            inKey_ = true;
        }
        // Otherwise the line end is an ordinary byte, and ordinary line ends are dropped.
    }

    void Ordinary(char c) {
        if (c == '\t' || c == '\r' || c == '\n') return;
        if (c == ' ' && (inKey_ || value_.empty())) return;
        (inKey_ ? key_ : value_) += c;
    }

    void Commit() {
        out_.emplace(std::move(key_), std::move(value_));
        key_.clear();
        value_.clear();
    }

    CIniParser::Entries& out_;
    bool inKey_ = true;
    bool inComment_ = false;
    bool inQuotes_ = false;
    bool escaped_ = false;
    std::string key_;
    std::string value_;
};

}  // namespace

CIniParser::Entries CIniParser::LoadIniFile(const std::string& path) {
    return *SharedIniFile(path);
}

std::shared_ptr<const CIniParser::Entries> CIniParser::SharedIniFile(const std::string& path) {
    auto entries = FileCache::Process().parsed<Entries>(
        path, [](const std::string& raw) { return ParseIniText(CrLfToLf(raw)); });
    // A directory opens on this platform but cannot be read: reported like a missing file.
    if (!entries) throw CIniParserException(" Can not open: " + path);
    return entries;
}

CIniParser::Entries CIniParser::ParseIniText(std::string_view text) {
    Entries entries;
    IniScanner scanner(entries);
    for (char c : text) scanner.Feed(c);
    scanner.Finish();
    return entries;
}
