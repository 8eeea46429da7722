#include "orthd/PreProcess_FLT.h"

#include <array>
#include <string>
#include <utility>

#include "kernel/CorsHeaders.h"
#include "kernel/QuotedValue.h"
#include "text/FilteringParams.h"
#include "utils/BackslashEscaper.h"
#include "utils/InternalDataKeys.h"
#include "utils/JsonpCallback.h"
#include "utils/RequestValueRecord.h"
#include "utils/TextEscapes.h"

namespace orthd {
namespace {

constexpr char kRevision[] = "1678";
constexpr char kQ = '"';

// One pass into a new string: replacing in place would move the rest of the text at every
// hit.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    size_t hit = text.find(from);
    if (hit == std::string::npos) return;
    std::string out;
    out.reserve(text.size());
    size_t done = 0;
    for (; hit != std::string::npos; hit = text.find(from, done)) {
        out.append(text, done, hit - done);
        out.append(to);
        done = hit + from.size();
    }
    out.append(text, done);
    text = std::move(out);
}

bool IsPrintableNonBlank(unsigned char c) { return c > 0x20 && c != 0x7F; }

// Appends `lead` "name" : "value" (script-string escaped when `escaped`), in place: the list
// is built for every request.
void AppendMember(std::string& out, std::string_view lead, std::string_view name,
                  std::string_view value, bool escaped) {
    const auto append = [&](std::string_view text) {
        out += kQ;
        if (escaped)
            kScriptEscaper.AppendEscaped(text, out);
        else
            out += text;
        out += kQ;
    };
    out += lead;
    append(name);
    out += " : ";
    append(value);
}

}  // namespace

void PreProcess_FLT::BuildLanguageList(StringMap& map) {
    std::string list = map["langs_list"];
    if (list.empty() || list.back() != ' ') list += ' ';
    const std::string slang = map["slang"];
    std::string output, body, group, token, separator;
    for (size_t i = 0; i < list.size(); ++i) {
        const char c = list[i];
        if (c == '[') {
            output += body;
            body.clear();
            group.clear();
            separator.clear();
            const size_t close = list.find(']', i + 1);
            if (close == std::string::npos)
                VERB_THROW(PreProcess_FLTException, "invalid group name");
            group = list.substr(i + 1, close - i - 1);
            if (!output.empty()) output += "\n\t},\n";
            output += '\t';
            output += kQ;
            output += group;
            output += kQ;
            output += " :\n\t{\n";
            i = close;
        } else if (IsPrintableNonBlank(static_cast<unsigned char>(c))) {
            token += c;
        } else if (!token.empty()) {
            const std::string name = map[token];  // a copy: `group` may name the same key
            if (!body.empty()) body += ",\n";
            AppendMember(body, "\t", token, name, false);
            AppendMember(map[group], separator, token, name, true);
            separator = ",";
            if (token == slang && group == "rtl") map["right_to_left"] = "dir=\"rtl\"";
            token.clear();
        }
    }
    output += body + "\n\t}\n";
    map["langs"] = output;
}

namespace {

// A value derived from request text (the language cookie, the text with its no-break spaces
// replaced) is still request text for the answer's escaping.
void MarkAsRequestText(InternalData& data, const std::string& key, const std::string& value) {
    if (data.Find(idkey::RequestValues))
        data.Get<RequestValueRecord>(idkey::RequestValues).Fill(key, value);
}

}  // namespace

void PreProcess_FLT::CheckWebServiceOptions(StringMap& map) {
    const std::string& format = map["format"];
    if (!format.empty() && format != "xml" && format != "json")
        VERB_THROW(PreProcess_FLTException,
                   "Format '" + QuoteRequestValue(format) +
                       "' is not supported. Supported formats are: 'xml', 'json'.");
    const std::string& outType = map["out_type"];
    if (!outType.empty() && outType != "positions" && outType != "words")
        VERB_THROW(PreProcess_FLTException,
                   "Output type '" + QuoteRequestValue(outType) +
                       "' is not supported. Supported types are: 'positions', 'words'.");
    static constexpr std::array<const char*, 4> kOptions = {
        "ignore_all_caps", "ignore_words_with_numbers", "ignore_mixed_case", "ignore_domain_names"};
    std::string osp = "0000";
    for (size_t i = 0; i < kOptions.size(); ++i) {
        const std::string& value = map[kOptions[i]];
        if (!value.empty() && value != "0" && value != "1")
            VERB_THROW(PreProcess_FLTException,
                       "Value '" + QuoteRequestValue(value) + "' for option '" + kOptions[i] +
                           "' is not supported. Supported values are: '0', '1'.");
        if (value == "1") osp[i] = '1';
    }
    map["callback"] = ParenthesisEscape(map["callback"]);
    map["osp"] = osp;
}

void PreProcess_FLT::run(StringMap& map, InternalData& data) {
    map["url_version"] = EscapeControlChars(kRevision);
    if (data.Get<bool>(idkey::LangInCookie) && map.count(":session_start:") != 0 &&
        map["cmd"] != "sc") {
        const std::string& hide = map["hide"];
        if ((hide.empty() || hide.find("[s]") != std::string::npos) && !map[":lng_pdef:"].empty())
            MarkAsRequestText(data, "slang", map["slang"] = map[":lng_pdef:"]);
    }
    FilteringParams params;
    // Taken, not copied: nothing after this stage reads the lists.
    params.attributes = std::move(data.Get<AttributeWhiteList>(idkey::AttributeWhiteList));
    params.tags = std::move(data.Get<TagWhiteList>(idkey::TagWhiteList));
    data.Insert(idkey::FilteringParams, std::move(params));
    data.Insert(idkey::SpellLang, map["slang"]);

    if (map["text"].find("\xC2\xA0") != std::string::npos) {
        // Positions answered to the caller count in its own text.
        data.Set(idkey::TextAsSent, map["text"]);
        ReplaceAll(map["text"], "\xC2\xA0", ",");
    }
    MarkAsRequestText(data, "text", map["text"]);
    BuildLanguageList(map);
    // The callback name is written in front of "(" in script answers, outside any string: only
    // a plain name may pass, whatever the command. The check-as-you-type commands answer a bad
    // callback themselves, in the script shape their callers can read.
    const bool answersOwnCallback = map["cmd"] == "spellcheck" || map["cmd"] == "sc";
    if (!answersOwnCallback && !map["callback"].empty() && !IsValidJsonpCallback(map["callback"]))
        VERB_THROW(PreProcess_FLTException, kInvalidCallback);
    if (!map["callback"].empty()) {
        map["left_per"] = "(";
        map["right_per"] = ")";
    }
    if (map["run_mode"] == "web_service") {
        // Before the checks: an error answer must be readable by a cross-origin page as well.
        AddCorsHeaders(map, data);
        CheckWebServiceOptions(map);
    }
}

void PreProcess_FLT::apply(StringMap& map, InternalData& data) {
    try {
        run(map, data);
    } catch (const Filter::exception&) {
        throw;
    } catch (const std::exception& e) {
        VERB_THROW(PreProcess_FLTException,
                   std::string("PreProcess::apply() - internal error. ") + e.what());
    } catch (...) {
        VERB_THROW(PreProcess_FLTException, "PreProcess::apply() - internal error.");
    }
}

}  // namespace orthd
