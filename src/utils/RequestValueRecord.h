#pragma once
// Which string-map values are still the request's own text (InternalData key RequestValues).
//
// Request_FLT fills one entry per key it set from the request (parameters and cookie-derived
// keys) with the value it left there. A later stage that HTML-escapes such a value in place
// (ValueEscape_FLT) notes the escaped form. When the answer is rendered, a placeholder whose
// value still equals the filled value (or the noted escaped form) is request text and is escaped
// for the answer's content type; a key a command wrote after reading the request holds another
// value and is the command's own (markup it built on purpose, for instance).
#include <map>
#include <optional>
#include <string>

class RequestValueRecord {
  public:
    struct Origin {
        std::string requestText;   // the value as the request gave it
        bool htmlEscaped = false;  // the current value is its HTML escape (HtmlEscape and more)
    };

    void Fill(const std::string& key, std::string value);
    // `key`'s value, filled from the request, was replaced by its HTML-escaped form `escaped`.
    void NoteHtmlEscaped(const std::string& key, std::string escaped);

    // Where `current`, the value of `key` now, came from; nullopt when the request did not
    // give it.
    std::optional<Origin> OriginOf(const std::string& key, const std::string& current) const;
    // OriginOf(key, current).has_value(), without copying the request text.
    bool IsRequestText(const std::string& key, const std::string& current) const {
        return entryFor(key, current) != nullptr;
    }

    bool empty() const { return entries_.empty(); }

  private:
    struct Entry {
        std::string requestText;
        std::optional<std::string> escaped;
    };
    // The entry of `key` when `current` is its request text or its noted escape, else nullptr.
    const Entry* entryFor(const std::string& key, const std::string& current) const;
    std::map<std::string, Entry> entries_;
};
