#include "text/TextRenderers.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "text/CText.h"
#include "text/EIncorrectPosition.h"
#include "text/Utf16Conversion.h"
#include "text/WordEncodings.h"

namespace {

constexpr int kMaxSuggestionsPerWord = 15;
constexpr int kExcludedProblemLength = 63;
constexpr std::string_view kNoSuggestions = "no_any_suggestions";
constexpr std::u16string_view kHtmlFound = u"[*htmf]";
constexpr std::u16string_view kLineBreak = u"&nbsp;<br />";
constexpr std::u16string_view kNbsp = u"&nbsp;";
constexpr int kNbspPerTab = 8;
// The display conversion writes at most this many times the rendered text (plus the
// allowance): a TAB alone becomes 48 code units, a blank after a blank 6.
constexpr size_t kMaxDisplayGrowth = 3;
constexpr size_t kDisplayAllowance = 4096;

// Restores the model's marker string when the rendering ends, however it ends.
class MarkerRestorer {
  public:
    explicit MarkerRestorer(CText& text) : text_(text), saved_(text.MarkerString()) {}
    ~MarkerRestorer() { text_.SetMarkers(saved_); }
    MarkerRestorer(const MarkerRestorer&) = delete;
    MarkerRestorer& operator=(const MarkerRestorer&) = delete;

  private:
    CText& text_;
    std::u16string saved_;
};

// Sets the model's decoration order for a scope.
class DecorationOrderRestorer {
  public:
    DecorationOrderRestorer(CText& text, CText::DecorationOrder order)
        : text_(text), saved_(text.GetDecorationOrder()) {
        text.SetDecorationOrder(order);
    }
    ~DecorationOrderRestorer() { text_.SetDecorationOrder(saved_); }
    DecorationOrderRestorer(const DecorationOrderRestorer&) = delete;
    DecorationOrderRestorer& operator=(const DecorationOrderRestorer&) = delete;

  private:
    CText& text_;
    CText::DecorationOrder saved_;
};

// The decimal value of a leading [-]digits prefix; 0 when there is none; saturates.
int DecimalValue(std::string_view value) {
    std::size_t at = 0;
    const bool negative = !value.empty() && value[0] == '-';
    if (negative) ++at;
    long long result = 0;
    for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at)
        result = std::min<long long>(result * 10 + (value[at] - '0'), INT_MAX);
    return static_cast<int>(negative ? -result : result);
}

int SuggestionLimit(const StringMap& strings) {
    const auto found = strings.find("sug_len");
    const int wanted = found == strings.end() ? 0 : DecimalValue(found->second);
    return std::clamp(wanted, 0, kMaxSuggestionsPerWord);
}

// Reads the next answer line from offset: the suggestions after its ":" up to the line end.
// offset moves to that line end, or back to 0 when the line ran to the end of the answer.
std::vector<std::u16string> NextSuggestions(std::string_view answer, std::size_t& offset,
                                            int limit) {
    std::size_t at = offset;
    while (at < answer.size() && (answer[at] == '\r' || answer[at] == '\n')) ++at;
    const std::size_t colon = answer.find(':', at);
    if (colon == std::string_view::npos) return {};
    const std::size_t lineEnd = answer.find_first_of("\r\n", colon + 1);
    const std::string_view line =
        answer.substr(colon + 1, lineEnd == std::string_view::npos ? std::string_view::npos
                                                                   : lineEnd - colon - 1);
    offset = lineEnd == std::string_view::npos ? 0 : lineEnd;
    std::vector<std::u16string> suggestions;
    std::size_t start = 0;
    while (suggestions.size() < static_cast<std::size_t>(limit) && start <= line.size()) {
        const std::size_t comma = std::min(line.find(',', start), line.size());
        const std::string_view piece = line.substr(start, comma - start);
        start = comma + 1;
        if (piece.empty() || piece == kNoSuggestions) continue;
        suggestions.push_back(Utf8ToUtf16(piece));
    }
    return suggestions;
}

// The problem's word from the check stream, widened over the apostrophes around it.
std::u16string WidenedWord(const std::u16string& check, const TextProcessor::Problem& problem) {
    const auto size = static_cast<long long>(check.size());
    long long position = std::clamp<long long>(problem.position, 0, size);
    long long end = std::clamp<long long>(
        static_cast<long long>(problem.position) + std::max(problem.length, 0), position, size);
    while (position > 0 && check[static_cast<std::size_t>(position - 1)] == u'\'') --position;
    while (end < size && check[static_cast<std::size_t>(end)] == u'\'') ++end;
    return check.substr(static_cast<std::size_t>(position),
                        static_cast<std::size_t>(end - position));
}

enum class WordsFormat { kXml, kJson };

std::string RenderWords(TextProcessor& processor, const StringMap& strings, std::string_view answer,
                        WordsFormat format) {
    const int limit = SuggestionLimit(strings);
    processor.Text().RemoveDecorations();
    const std::u16string check = processor.Text().CheckText();
    const bool xml = format == WordsFormat::kXml;
    std::u16string out = xml ? u"<words>" : u"\"words\":[";
    std::size_t answerOffset = 0;
    bool wroteEntry = false;
    const auto& problems = processor.Problems();
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const auto& problem = problems[i];
        if (problem.length == kExcludedProblemLength) continue;
        if (i >= 1 && static_cast<long long>(problem.position) ==
                          static_cast<long long>(problems[i - 1].position) + problems[i - 1].length)
            continue;
        const std::u16string word = WidenedWord(check, problem);
        if (xml) {
            out += u"<word id = \"" + XmlAttributeEscape(word);
        } else {
            if (wroteEntry) out += u',';
            out += u"{\"id\": \"" + JsonQuotedEscape(word) + u"\"";
        }
        wroteEntry = true;
        if (i <= 1) {
            const auto suggestions = NextSuggestions(answer, answerOffset, limit);
            out += xml ? u"\" suggestions = \"" : u",\"suggestions\":[";
            for (std::size_t k = 0; k < suggestions.size(); ++k) {
                if (xml)
                    out += (k ? u"," : u"") + XmlAttributeEscape(suggestions[k]);
                else
                    out += (k ? u",\"" : u"\"") + JsonQuotedEscape(suggestions[k]) + u"\"";
            }
            if (!xml) out += u']';
        }
        out += xml ? u"\"/>" : u"}";
    }
    out += xml ? u"</words>" : u"]";
    return Utf16ToUtf8(out);
}

}  // namespace

namespace {

// The code units the display conversion writes other than as they are.
bool IsDisplaySpecial(char16_t c) {
    return c == u'\t' || c == u'\n' || c == u'\r' || c == u' ' || c == u'<' || c == u'>';
}

}  // namespace

std::u16string DisplayConvert(std::u16string_view rendered) {
    std::u16string out;
    out.reserve(rendered.size() + rendered.size() / 4);
    bool crSeen = false;
    bool lfSeen = false;
    bool inTag = false;
    bool afterWord = true;
    char16_t previous = 0;
    const size_t budget = rendered.size() * kMaxDisplayGrowth + kDisplayAllowance;
    for (std::size_t i = 0; i < rendered.size();) {
        if (out.size() >= budget) {
            // Only a text made to blow up gets here: the rest is written as it is.
            out.append(rendered.substr(i));
            break;
        }
        // A run of code units written as they are: any but the special ones, and a single blank
        // after one of them (after a word a blank stays a blank, inside a tag or not).
        std::size_t runEnd = i;
        while (runEnd < rendered.size()) {
            const char16_t c = rendered[runEnd];
            if (IsDisplaySpecial(c) &&
                !(c == u' ' && runEnd > i && !IsDisplaySpecial(rendered[runEnd - 1])))
                break;
            ++runEnd;
        }
        if (runEnd > i) {
            out.append(rendered.substr(i, runEnd - i));
            previous = rendered[runEnd - 1];
            // After a blank outside a tag the next blank is no longer after a word.
            afterWord = previous != u' ' || inTag;
            i = runEnd;
            continue;
        }
        const char16_t c = rendered[i++];
        switch (c) {
            case u'\t':
                if (inTag)
                    out += c;
                else
                    for (int k = 0; k < kNbspPerTab; ++k) out += kNbsp;
                afterWord = true;
                break;
            case u'\n':
                if (crSeen) {
                    crSeen = false;
                } else {
                    out += kLineBreak;
                    lfSeen = true;
                }
                break;
            case u'\r':
                if (!lfSeen) {
                    out += kLineBreak;
                    crSeen = true;
                }
                lfSeen = false;
                afterWord = false;
                break;
            case u' ':
                if (inTag) {
                    out += c;
                } else if (afterWord) {
                    out += c;
                    afterWord = false;
                } else {
                    out += kNbsp;
                }
                break;
            case u'<':
                out += c;
                if (previous != u'<') inTag = true;
                break;
            default:  // '>'
                out += c;
                inTag = false;
        }
        previous = c;
    }
    return out;
}

std::string RenderDecorated(TextProcessor& processor, ErrorDecorator& decorator) {
    CText& text = processor.Text();
    text.RemoveDecorations();
    const auto& problems = processor.Problems();
    std::vector<std::size_t> decorated;
    long long end = 0;
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const auto& problem = problems[i];
        const long long problemEnd = static_cast<long long>(problem.position) + problem.length;
        const bool overlaps = problem.position < end;
        end = problemEnd;
        if (overlaps) continue;
        if (problem.length < 0 || problemEnd > INT_MAX) throw EIncorrectPosition();
        decorated.push_back(i);
    }
    {
        // From the last problem to the first: every split of the text then copies only what
        // follows the problem, never the rest of the text.
        const DecorationOrderRestorer order(text, CText::DecorationOrder::kBeforeExisting);
        for (auto it = decorated.rbegin(); it != decorated.rend(); ++it) {
            const auto& problem = problems[*it];
            const std::u16string word = text.Word(problem.position, problem.length);
            decorator.Decorate(text, static_cast<int>(*it), problem.id, ScriptEscape(word),
                               IdentifierForm(word), problem.position, problem.length);
        }
    }
    std::u16string rendered;
    std::u16string markers;
    {
        const MarkerRestorer restorer(text);
        text.SetMarkers(decorator.Markers());
        markers = text.GetMarkers();
        rendered = text.Render(decorator.WritesHtml() ? CText::PlainText::kHtmlSafe
                                                      : CText::PlainText::kAsWritten);
    }
    if (markers.find(kHtmlFound) == std::u16string::npos) rendered = DisplayConvert(rendered);
    return Utf16ToUtf8(rendered);
}

std::string RenderWordsXml(TextProcessor& processor, const StringMap& strings,
                           std::string_view answer) {
    return RenderWords(processor, strings, answer, WordsFormat::kXml);
}

std::string RenderWordsJson(TextProcessor& processor, const StringMap& strings,
                            std::string_view answer) {
    return RenderWords(processor, strings, answer, WordsFormat::kJson);
}
