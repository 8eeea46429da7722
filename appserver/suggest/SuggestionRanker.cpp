#include "suggest/SuggestionRanker.h"

#include <algorithm>
#include <unordered_set>

#include "suggest/Letters.h"
#include "suggest/SoundKey.h"
#include "suggest/TypingDistance.h"

namespace {

constexpr int kMostCommonTier = 10;
// Words this short (in bytes) and of the most common tier are the ones whose blank is dropped
// in quick typing ("inthe", "canbe", "alot").
constexpr size_t kShortWordBytes = 3;
// Longer typed words are not cut into two (each cut costs a look-up of both halves).
constexpr size_t kMaxRunTogetherBytes = 40;
constexpr int kRarestTier = WordTiers::kRarestTier;
// The library's list is read this far for the bonus; later places get none.
constexpr double kLibraryListLength = 10;

enum class CaseForm { kAsIs, kCapitalFirst, kCapitals };

CaseForm FormOf(std::u32string_view typed) {
    if (typed.size() > 1 && Letters::Lower(typed) != typed && Letters::Upper(typed) == typed)
        return CaseForm::kCapitals;
    if (!typed.empty() && Letters::HasCapital(typed.substr(0, 1))) return CaseForm::kCapitalFirst;
    return CaseForm::kAsIs;
}

std::string InCase(const std::string& word, CaseForm form) {
    if (form == CaseForm::kAsIs) return word;
    const std::u32string letters = Letters::FromUtf8(word);
    return Letters::ToUtf8(form == CaseForm::kCapitals ? Letters::Upper(letters)
                                                       : Letters::CapitalFirst(letters));
}

// Whether the two words end in different letters, other than by a letter added or dropped at
// the end ("tast" for "taste", "fromt" for "from").
bool EndsApart(std::u32string_view typed, std::u32string_view word) {
    if (typed.back() == word.back()) return false;
    if (word.size() > 1 && word[word.size() - 2] == typed.back()) return false;
    return !(typed.size() > 1 && typed[typed.size() - 2] == word.back());
}

// English writes a last "y" as "ie" before an "s" ("entity", "entities"); a writer who misses
// the rule writes "entitys", or "geometrie" for geometry. The word with such an ending in the
// other form ("ies" as "ys", "ie" as "y"); empty when it has none.
std::u32string OtherYEnding(std::u32string_view word) {
    if (word.size() > 3 && word.ends_with(U"ies"))
        return std::u32string(word.substr(0, word.size() - 3)) + U"ys";
    if (word.size() > 2 && word.ends_with(U"ie"))
        return std::u32string(word.substr(0, word.size() - 2)) + U"y";
    return {};
}

}  // namespace

SuggestionRanker::SuggestionRanker(std::shared_ptr<const WordTiers> tiers,
                                   SoundKey::Spelling spelling)
    : tiers_(std::move(tiers)), spelling_(spelling) {}

int SuggestionRanker::TierOf(const std::string& word) const {
    if (!tiers_) return 0;
    const bool plainLower = std::all_of(word.begin(), word.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 && !(c >= 'A' && c <= 'Z');
    });
    return tiers_->TierOf(
        word, plainLower ? word : Letters::ToUtf8(Letters::Lower(Letters::FromUtf8(word))));
}

double SuggestionRanker::RarityOfTier(int tier) {
    if (tier == 0) return kRareWordCost;
    const double scale = kRarestTier - kMostCommonTier;
    return kRareWordCost * 0.8 * std::clamp((tier - kMostCommonTier) / scale, 0.0, 1.0);
}

SuggestionRanker::Parts SuggestionRanker::PartsOf(std::string_view words) const {
    Parts parts;
    bool shortCommon = false, allCommon = true;
    for (size_t from = 0; from <= words.size();) {
        const size_t to = std::min(words.find_first_of(" -", from), words.size());
        const std::string part(words.substr(from, to - from));
        const int tier = TierOf(part);
        parts.rarity = std::max(parts.rarity, RarityOfTier(tier));
        shortCommon = shortCommon || (part.size() <= kShortWordBytes && tier == kMostCommonTier);
        // A syllable typed twice ("mememory" as me memory) is no blank dropped.
        const bool stutter = from > 0 && part.starts_with(words.substr(0, from - 1));
        allCommon = allCommon && tier == kMostCommonTier && !stutter;
        from = to + 1;
    }
    parts.blankDropped = shortCommon && allCommon;
    return parts;
}

std::vector<SuggestionRanker::Candidate> SuggestionRanker::RunTogether(
    std::string_view typed) const {
    std::vector<Candidate> out;
    if (!tiers_ || typed.size() > kMaxRunTogetherBytes ||
        typed.find_first_of(" -") != std::string_view::npos)
        return out;
    const std::string lower = Letters::ToUtf8(Letters::Lower(Letters::FromUtf8(typed)));
    for (size_t cut = 1; cut < lower.size(); ++cut) {
        // One of the two is short: the cuts near either end. Only between letters, not inside
        // one letter's UTF-8 bytes.
        if (cut > kShortWordBytes && cut + kShortWordBytes < lower.size()) continue;
        if ((static_cast<unsigned char>(lower[cut]) & 0xC0) == 0x80) continue;
        std::string words = lower.substr(0, cut) + " " + lower.substr(cut);
        if (PartsOf(words).blankDropped) out.push_back({std::move(words), 0, -1});
    }
    return out;
}

SuggestionRanker::Typed::Typed(std::string_view typed, SoundKey::Spelling spelling)
    : letters(Letters::FromUtf8(typed)),
      lower(Letters::Lower(letters)),
      sound(SoundKey::Of(lower, spelling)),
      hasCapital(Letters::HasCapital(letters)),
      hasApostrophe(lower.find(U'\'') != std::u32string::npos),
      split(lower.find_first_of(U" -") != std::u32string::npos),
      otherYEnding(spelling == SoundKey::Spelling::kEnglish ? OtherYEnding(lower)
                                                            : std::u32string()) {}

double SuggestionRanker::CostOf(std::string_view typed, const Candidate& candidate) const {
    std::u32string lower;
    return CostFor(Typed(typed, spelling_), candidate, lower);
}

double SuggestionRanker::CostFor(const Typed& typed, const Candidate& candidate,
                                 std::u32string& lower) const {
    Letters::LowerInto(candidate.word, lower);
    const bool split = !typed.split && lower.find_first_of(U" -") != std::u32string::npos;
    const Measured measured = Measure(typed, candidate, lower, split);
    const double distance = measured.distance;
    double cost = distance;
    const Parts parts = split ? PartsOf(candidate.word) : Parts{};
    cost += kRarityWeight * (split ? parts.rarity : RarityOfTier(TierOf(candidate.word)));
    // The same letters with a capital are what was meant: a name or (German) noun typed in
    // lower case ("debian", "haus").
    if (!typed.hasCapital && lower != typed.lower && Letters::HasCapitalUtf8(candidate.word))
        cost += kCapitalCost;
    if (!typed.hasApostrophe && lower.size() > 2 && lower.ends_with(U"'s")) cost += kPossessiveCost;
    if (distance >= kSoundsAlikeFrom && SoundKey::Of(lower, spelling_) == typed.sound)
        cost -= kSoundsAlikeBonus;
    if (!typed.lower.empty() && !lower.empty()) {
        if (!measured.yEnding && EndsApart(typed.lower, lower)) cost += kEndingCost;
        if (TypingDistance::Base(typed.lower[0]) != TypingDistance::Base(lower[0]))
            cost += kFirstLetterCost;
    }
    if (split) cost += parts.blankDropped ? kSplitCost : kLongSplitCost;
    if (candidate.libraryRank >= 0)
        cost -= kLibraryBonus * std::max(0.0, 1.0 - candidate.libraryRank / kLibraryListLength);
    return cost;
}

SuggestionRanker::Measured SuggestionRanker::Measure(const Typed& typed, const Candidate& candidate,
                                                     std::u32string_view lower, bool split) const {
    Measured m{candidate.distance, false};
    if (m.distance < 0 && split) {
        // The split cost stands for the dropped blank: the typing distance is of the letters.
        std::u32string letters(lower);
        std::erase_if(letters, [](char32_t c) { return c == U' ' || c == U'-'; });
        m.distance = TypingDistance::Between(typed.lower, letters);
    } else if (m.distance < 0) {
        m.distance = TypingDistance::Between(typed.lower, lower);
    }
    if (spelling_ != SoundKey::Spelling::kEnglish || split) return m;
    // Only one of the two in the "ie" form: compare them with the same ending.
    const std::u32string other = OtherYEnding(lower);
    if (other.empty() == typed.otherYEnding.empty()) return m;
    const double ruled =
        kYEndingCost + (other.empty() ? TypingDistance::Between(typed.otherYEnding, lower)
                                      : TypingDistance::Between(typed.lower, other));
    if (ruled < m.distance) m = {ruled, true};
    return m;
}

void SuggestionRanker::CostAll(const Typed& typed, std::vector<Candidate>& candidates) const {
    std::u32string lower;
    for (Candidate& c : candidates)
        if (!c.costed) {
            c.cost = CostFor(typed, c, lower);
            c.costed = true;
        }
}

double SuggestionRanker::Margin(std::string_view typed, std::vector<Candidate>& candidates) const {
    if (candidates.empty()) return 0;
    CostAll(Typed(typed, spelling_), candidates);
    const auto cheaper = [](const Candidate& a, const Candidate& b) { return a.cost < b.cost; };
    const Candidate& best = *std::min_element(candidates.begin(), candidates.end(), cheaper);
    std::u32string bestLower, lower;
    Letters::LowerInto(best.word, bestLower);
    double second = kNoRival;
    for (const Candidate& c : candidates) {
        if (c.cost >= second) continue;
        Letters::LowerInto(c.word, lower);
        if (lower != bestLower) second = c.cost;
    }
    return second == kNoRival ? kNoRival : second - best.cost;
}

std::vector<std::string> SuggestionRanker::Rank(std::string_view typed,
                                                std::vector<Candidate> candidates,
                                                size_t max) const {
    const Typed typedWord(typed, spelling_);
    CostAll(typedWord, candidates);
    std::vector<std::pair<double, size_t>> order;
    order.reserve(candidates.size());
    for (size_t i = 0; i < candidates.size(); ++i) order.emplace_back(candidates[i].cost, i);
    // Ties keep the order the candidates came in.
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const CaseForm form = FormOf(typedWord.letters);
    std::vector<std::string> out;
    std::unordered_set<std::string> seen;
    for (const auto& [cost, index] : order) {
        if (out.size() >= max) break;
        std::string word = InCase(candidates[index].word, form);
        if (word != typed && seen.insert(word).second) out.push_back(std::move(word));
    }
    return out;
}
