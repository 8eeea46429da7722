#include "cmdhandlers/Spell/TypingAnswers.h"

#include <algorithm>
#include <climits>

#include "utils/BackslashEscaper.h"
#include "utils/TextEscapes.h"

namespace {

constexpr int kMaxSuggestionsPerWord = 15;
constexpr std::string_view kDojoMarker = "dojoIoScript";

std::string Quoted(std::string_view text) { return "\"" + ScriptStringEscape(text) + "\""; }

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    kScriptEscaper.AppendEscaped(text, out);
    out += '"';
}

std::string LanguageValue(std::string_view value, bool parenthesisSafe) {
    return ScriptStringEscape(parenthesisSafe ? ParenthesisEscape(value) : std::string(value));
}

std::string LanguageClose(const LanguageNote& note) {
    const bool safe = note.parenthesisSafe;
    if (!note.errorLanguage.empty())
        return ", \"o\": {\"lang\": \"" + LanguageValue(note.slang, safe) +
               "\", \"errorLang\": \"" + LanguageValue(note.errorLanguage, safe) + "\"}}";
    if (note.slang != "en_US")
        return ", \"o\": {\"lang\": \"" + LanguageValue(note.slang, safe) + "\"}}";
    return "}";
}

bool IsPlainListChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("_$ .,[]-").find(c) != std::string_view::npos;
}

bool IsPlainStringChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte < 0x7F && std::string_view("\\<>&\"'").find(c) == std::string::npos;
}

bool IsPlainList(std::string_view value) {
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\'' || c == '"') {
            const size_t close = value.find(c, i + 1);
            if (close == std::string_view::npos) return false;
            for (size_t k = i + 1; k < close; ++k)
                if (!IsPlainStringChar(value[k])) return false;
            i = close;
        } else if (!IsPlainListChar(c)) {
            return false;
        }
    }
    return true;
}

std::string SafeValue(std::string_view value) {
    return ScriptStringEscape(ParenthesisEscape(value));
}

// The custom dictionary ids as array members: numbers as they are, anything else quoted.
std::string IdList(std::string_view ids) {
    std::string out;
    size_t at = 0;
    while (at <= ids.size()) {
        size_t end = std::min(ids.find(',', at), ids.size());
        std::string_view id = ids.substr(at, end - at);
        at = end + 1;
        if (id.size() >= 2 && (id.front() == '\'' || id.front() == '"') && id.back() == id.front())
            id = id.substr(1, id.size() - 2);
        if (id.empty()) continue;
        if (!out.empty()) out += ",";
        const bool number = id.find_first_not_of("0123456789") == std::string_view::npos;
        out += number ? std::string(id) : "\"" + SafeValue(id) + "\"";
    }
    return out;
}

std::string AdsItem(StringMap& map, const std::vector<std::string>& iniKeys) {
    const std::string product = map["product"];
    const std::string paramsKey = product.substr(0, product.find('.')) + "_params";
    // The parameters are script written as they are: only the INI file may supply them.
    const bool configured = std::find(iniKeys.begin(), iniKeys.end(), paramsKey) != iniKeys.end();
    std::string item = "\"ads\":{\"params\":{\"" + SafeValue(product) + "\":{" +
                       (configured ? map[paramsKey] : std::string()) + "}}";
    if (map.count("init") != 0)
        item += std::string(", \"active\":") + (map["bnr"] == "1" ? "true" : "false") + "}";
    else
        item += "}";
    return item;
}

}  // namespace

std::string CallbackValue(StringMap& map) {
    const std::string c = map["c"];
    return c.empty() ? map["callback"] : c;
}

int LeadingDecimal(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = std::min<long long>(value * 10 + (text[at] - '0'), INT_MAX);
    return static_cast<int>(negative ? -value : value);
}

std::optional<int> DojoCallNumber(std::string_view callback) {
    const size_t marker = callback.find(kDojoMarker);
    if (marker == std::string_view::npos) return std::nullopt;
    const size_t start = marker + kDojoMarker.size();
    const size_t dot = callback.find('.', start);
    if (dot == std::string_view::npos) return std::nullopt;
    return LeadingDecimal(callback.substr(start, dot - start));
}

std::string IncorrectCorrectAnswer(const CheckAndSuggestions& answer, const LanguageNote& note) {
    // Written in place: a word list of a long text makes thousands of small pieces.
    std::string out = "{\"incorrect\": [";
    size_t size = 64;
    for (const auto& [word, suggestions] : answer.incorrect) {
        size += word.size() + 8;
        for (const std::string& suggestion : suggestions) size += suggestion.size() + 3;
    }
    for (const std::string& word : answer.correct) size += word.size() + 3;
    out.reserve(size);
    for (size_t i = 0; i < answer.incorrect.size(); ++i) {
        const auto& [word, suggestions] = answer.incorrect[i];
        out += i != 0 ? ",[" : "[";
        AppendQuoted(out, word);
        out += ",[";
        for (size_t k = 0; k < suggestions.size(); ++k) {
            if (k != 0) out += ',';
            AppendQuoted(out, suggestions[k]);
        }
        out += "]]";
    }
    out += "],\"correct\": [";
    for (size_t i = 0; i < answer.correct.size(); ++i) {
        if (i != 0) out += ',';
        AppendQuoted(out, answer.correct[i]);
    }
    out += ']';
    return out += LanguageClose(note);
}

std::string VersionStatement(std::string_view langsVer, std::string_view verlang) {
    if (langsVer.empty() || LeadingDecimal(langsVer) == LeadingDecimal(verlang)) return {};
    return ");kwirl.opt({\"verLang\": " + std::to_string(LeadingDecimal(langsVer)) + "}";
}

std::string NoWordsView(std::string_view langsVer) {
    return "{});kwirl.opt({\"verLang\": " + std::to_string(LeadingDecimal(langsVer)) + "}";
}

std::string ErrorView(std::string_view message) {
    return "{\"error\": true, \"text\": " + Quoted(message) + "}";
}

std::string ScriptListLiteral(std::string_view value) {
    return IsPlainList(value) ? std::string(value) : Quoted(value);
}

std::string PropertiesScript(StringMap& map, const std::vector<std::string>& iniKeys) {
    std::string text;
    std::string separator = " ";
    const auto add = [&](const std::string& item) {
        text += separator + item;
        separator = ",";
    };
    const bool init = map.count("init") != 0;
    if (init || map.count("product") != 0) add(AdsItem(map, iniKeys));
    const std::string udn = map["udn"];
    if (!udn.empty() && udn != map["c_udn"])
        add("\"userDictionaryName\":\"" + SafeValue(udn) + "\"");
    const std::string ids = map["cust_dic_ids"];
    if (!ids.empty() && ids != map["c_cust_dic_ids"])
        add("\"customDictionaryIds\":[" + IdList(ParenthesisEscape(ids)) + "]");
    if (init && !map["uiTags"].empty())
        add("\"uiTags\":" + ScriptListLiteral(ParenthesisEscape(map["uiTags"])));
    return text.empty() ? std::string() : "kwirl.props({" + text + "}";
}

std::string SuggestAnswer(const CheckAndSuggestions& answer, std::string_view words, int count,
                          bool json) {
    const size_t keep = static_cast<size_t>(std::clamp(count, 0, kMaxSuggestionsPerWord));
    // Written in place, piece by piece: the answer is several times the text.
    std::string out = json ? "[" : "<words>";
    bool anyEntry = false;
    std::string correct;
    const auto index = answer.Index();
    size_t at = 0;
    while (at <= words.size()) {
        const size_t end = std::min(words.find(',', at), words.size());
        const std::string_view word = words.substr(at, end - at);
        at = end + 1;
        if (word.empty()) continue;
        const auto found = index.find(word);
        if (found == index.end()) {
            if (json) {
                if (!correct.empty()) correct += ',';
                AppendQuoted(correct, word);
            } else {
                correct += "<word id=\"";
                AppendXmlTextEscaped(correct, word);
                correct += "\"/>";
            }
            continue;
        }
        const std::vector<std::string>& suggestions = *found->second;
        const size_t shown = std::min(keep, suggestions.size());
        if (json) {
            out += anyEntry ? ",[" : "[";
            AppendQuoted(out, word);
            out += ",[";
            // No suggestion shown: one empty one, as the clients know it.
            if (shown == 0) out += "\"\"";
        } else {
            out += "<word id=\"";
            AppendXmlTextEscaped(out, word);
            out += "\" suggestions=\"";
        }
        for (size_t k = 0; k < shown; ++k) {
            if (k != 0) out += ',';
            if (json)
                AppendQuoted(out, suggestions[k]);
            else
                AppendXmlTextEscaped(out, suggestions[k]);
        }
        out += json ? "]]" : "\"/>";
        anyEntry = true;
    }
    out += json ? "],[" : "<correctWords>";
    out += correct;
    out += json ? "]" : "</correctWords></words>";
    return out;
}

std::string AddWordView(std::string_view word, bool json, std::string_view key) {
    if (json)
        return "{\"words\":[{\"id\":" + Quoted(word) + "}]" +
               (key.empty() ? "" : ",\"key\":" + Quoted(key)) + "}";
    return "<addword name=\"" + XmlTextEscape(word) + "\"/>";
}

std::string SpellTextView(std::string_view rendered, bool json) {
    if (json) return "{\"text\":" + Quoted(rendered) + "}";
    // "]]>" would end the section early: split it across two sections.
    std::string body;
    for (size_t at = 0;;) {
        const size_t end = rendered.find("]]>", at);
        if (end == std::string_view::npos) {
            body += rendered.substr(at);
            break;
        }
        body += std::string(rendered.substr(at, end - at)) + "]]]]><![CDATA[>";
        at = end + 3;
    }
    return "<text><![CDATA[" + body + "]]></text>";
}

std::string ScriptObject(std::string_view members) { return "{" + std::string(members) + "}"; }
