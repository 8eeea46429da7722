#include "cmdhandlers/Dictionary/Change_CH.h"

#include <algorithm>

#include "cmdhandlers/Dictionary/DialogWord.h"
#include "cmdhandlers/Dictionary/IgnoreList.h"
#include "cmdhandlers/Dictionary/NextCommand.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "kernel/CommandRegistry.h"
#include "text/Utf16Conversion.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "sp_ch", Change_CH);
VERB_REGISTER_COMMAND(Program::Orthd, "sp_ch_all", Change_CH);
VERB_REGISTER_COMMAND(Program::Orthd, "gr_ch", Change_CH);
VERB_REGISTER_COMMAND(Program::Orthd, "th_ch", Change_CH);

namespace {

constexpr char kInternalError[] = "ChangeHandler::apply() - internal error.";

// Letters of the scripts users write in: ASCII letters and every unit from U+00C0 on, except
// the signs × and ÷, general punctuation and CJK punctuation.
bool IsLetterUnit(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) return true;
    if (c < 0xC0 || c == 0xD7 || c == 0xF7) return false;
    return !(c >= 0x2000 && c <= 0x206F) && !(c >= 0x3000 && c <= 0x303F);
}

struct Correction {
    std::string command;
    int oldLength = 0;
    int newLength = 0;
};

// One replacement at `at`: the text changes and the ignore lists follow it.
void Replace(StringMap& map, TextProcessor& processor, const std::u16string& replacement, int at,
             const Correction& c) {
    processor.ReplaceRange(replacement, at, c.oldLength);
    const bool grammar = c.command == "gr_ch";
    const bool spelling = c.command == "sp_ch";
    for (const char* key : {"igpossp", "igposgr"}) {
        const bool ignoresCorrection = std::string(key) == "igpossp" ? spelling : grammar;
        std::string& list = map[key];
        list = ignoresCorrection ? AfterCorrection(list, at, c.oldLength, c.newLength)
                                 : ShiftPositions(list, at, c.oldLength, c.newLength);
    }
}

// Every occurrence at once ("sp_ch_all"): one pass over the text and one over each list, so
// that the work stays linear however often the word occurs.
void ReplaceAll(StringMap& map, TextProcessor& processor, const std::u16string& replacement,
                const std::vector<int>& occurrences, const Correction& c) {
    processor.ReplaceRanges(replacement, occurrences, c.oldLength);
    const std::vector<long long> at(occurrences.begin(), occurrences.end());
    map["igpossp"] = AfterCorrections(map["igpossp"], at, c.oldLength, c.newLength);
    map["igposgr"] = ShiftPositions(map["igposgr"], at, c.oldLength, c.newLength);
}

// The start of every occurrence of `word` in `text`, overlapping ones included, ascending
// (Knuth-Morris-Pratt: linear however the word repeats itself).
std::vector<size_t> AllOccurrences(const std::u16string& text, const std::u16string& word) {
    std::vector<size_t> border(word.size(), 0);
    for (size_t i = 1, k = 0; i < word.size(); ++i) {
        while (k > 0 && word[i] != word[k]) k = border[k - 1];
        if (word[i] == word[k]) ++k;
        border[i] = k;
    }
    std::vector<size_t> found;
    for (size_t i = 0, k = 0; i < text.size(); ++i) {
        while (k > 0 && text[i] != word[k]) k = border[k - 1];
        if (text[i] == word[k]) ++k;
        if (k == word.size()) {
            found.push_back(i + 1 - word.size());
            k = border[k - 1];
        }
    }
    return found;
}

std::string NextCommandOf(const std::string& command) {
    if (command == "gr_ch") return "grammar";
    if (command == "th_ch") return "thes";
    return "spell";
}

}  // namespace

std::vector<int> Change_CH::WholeWordOccurrences(const std::u16string& text,
                                                 const std::u16string& word) {
    std::vector<int> found;
    if (word.empty()) return found;
    const std::vector<size_t> all = AllOccurrences(text, word);
    // Searching from the end, an occurrence that overlaps one already taken is not one.
    size_t limit = text.size();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        const size_t at = *it;
        const size_t end = at + word.size();
        const bool letterBefore = at > 0 && IsLetterUnit(text[at - 1]);
        const bool letterAfter = end < text.size() && IsLetterUnit(text[end]);
        if (letterBefore || letterAfter || end > limit) continue;
        found.push_back(static_cast<int>(at));
        limit = at;
    }
    std::reverse(found.begin(), found.end());
    return found;
}

void Change_CH::apply(StringMap& map, InternalData& data) {
    std::string next;
    CommonSpell_CH::RunMapped({"Change_CH", kInternalError, __FILE__, __LINE__}, [&] {
        const auto model = std::make_shared<TextProcessor>(
            map[":prse_opt:"], data.Get<FilteringParams>(idkey::FilteringParams));
        TextProcessor& processor = *model;
        processor.SetText(map["text"]);
        const DialogWord word = DialogWord::Take(map, processor);
        const std::u16string replacement = Utf8ToUtf16(map["word"]);
        const Correction correction{LowerCommand(map), word.length,
                                    static_cast<int>(replacement.size())};
        long long count = 1;
        if (correction.command == "sp_ch_all") {
            const std::vector<int> occurrences =
                WholeWordOccurrences(processor.Text().CheckText(), Utf8ToUtf16(word.text));
            ReplaceAll(map, processor, replacement, occurrences, correction);
            count = std::upper_bound(occurrences.begin(), occurrences.end(), word.position) -
                    occurrences.begin();
        } else {
            Replace(map, processor, replacement, word.position, correction);
        }
        const long long end = static_cast<long long>(word.position) + word.length;
        map[":chng_pos:"] =
            std::to_string(end + count * (correction.newLength - correction.oldLength));
        map["text"] = processor.GetText();
        next = NextCommandOf(correction.command);
        KeepChangedText(map, data, next, model);
    });
    RunNextCommand(map, data, next);
}
