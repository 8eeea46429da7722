#pragma once
// Orders suggestion candidates by one cost, the lowest first. The cost of a candidate adds:
//   - the typing distance from the typed word (TypingDistance: swapped, doubled or dropped
//     letters and neighbouring keys cost less than other edits; a case difference costs 0);
//   - its rarity: 0 for the most common words (tier 10), rising with the tier to
//     kRareWordCost for a word in no tier, times kRarityWeight;
//   - kCapitalCost when the typed word has no capital letter and the candidate has one, so a
//     lower-case word gets lower-case words before names ("brwon": brown before Brown); not
//     when only the case differs ("debian" is Debian, the German "haus" is Haus);
//   - kPossessiveCost for a candidate ending in "'s" when the typed word has no apostrophe
//     (a plural is meant far more often: "churchs" is churches before church's);
//   - kEndingCost when its last letter is not the typed word's: the end carries the inflection
//     ("-s", "-ed", "-ing"), which writers get right more often than the stem ("triggerd" is
//     triggered before triggers); not when the difference is a letter added or dropped at the
//     very end, which keeps the inflection ("tast" is taste before test);
//   - kFirstLetterCost when its first letter is not the typed word's (accents aside): writers
//     get the first letter right far more often than any other ("ninty" is ninety before
//     minty);
//   - kSplitCost for two words (a blank or hyphen) when the typed word is one, both words are
//     of the most common tier and one of them is short: quick typists drop the blank after
//     such words ("inthe", "canbe", "aswell"); kLongSplitCost otherwise: the library splits
//     any word that happens to be two ("childbird" as child bird, "instantate" as instant
//     ate), and a misspelt single word is then meant far more often (childbirth). The split
//     cost stands for the dropped blank (the typing distance is of the letters alone), and the
//     rarity of two words is that of the rarer;
//   - in English, when only one of the two ends in "ie" or "ies": the typing distance with that
//     ending as "y" or "ys", plus kYEndingCost, if that is less: writers who miss the spelling
//     rule write "entitys" for entities and "geometrie" for geometry (then no kEndingCost);
//   - less kSoundsAlikeBonus when the candidate has the typed word's sound skeleton (SoundKey:
//     "desiar" and desire) and is kSoundsAlikeFrom or more away: misspellings made by ear are
//     far from the word in letters, while a cheap slip (a swap, a doubled letter, a key next to
//     the right one) explains the word already; a letter left out is as often a letter not
//     heard ("wich" is which before wish, "tast" taste before toast);
//   - less kLibraryBonus (scaled down along the library's list) when the spelling library
//     suggested the candidate, which carries the library's phonetic judgement ("sounds like").
// Candidates come back in the case of the typed word (capitalised or in capitals) when it is
// written so, without repeats. Immutable after construction, thread-safe.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "suggest/SoundKey.h"
#include "suggest/WordTiers.h"

class SuggestionRanker {
  public:
    static constexpr double kRarityWeight = 1.2;
    static constexpr double kRareWordCost = 1.0;
    static constexpr double kCapitalCost = 0.6;
    static constexpr double kLibraryBonus = 0.6;
    static constexpr double kPossessiveCost = 0.3;
    static constexpr double kSoundsAlikeBonus = 0.3;
    static constexpr double kSoundsAlikeFrom = 0.8;
    static constexpr double kEndingCost = 0.3;
    static constexpr double kFirstLetterCost = 0.3;
    static constexpr double kSplitCost = 1.2;
    static constexpr double kLongSplitCost = 2.6;
    static constexpr double kYEndingCost = 0.4;

    struct Candidate {
        std::string word;
        double distance = -1;  // the typing distance; below 0 when not yet measured
        int libraryRank = -1;  // place in the library's list; -1 when not from it
        double cost = 0;       // set by Margin (and then kept by Rank) when `costed`
        bool costed = false;
    };

    // `spelling`: the rules of the language's sound skeleton (SoundKey).
    explicit SuggestionRanker(std::shared_ptr<const WordTiers> tiers,
                              SoundKey::Spelling spelling = SoundKey::Spelling::kAny);

    // At most `max` candidates, best first. Costs already set by Margin are used as they are.
    std::vector<std::string> Rank(std::string_view typed, std::vector<Candidate> candidates,
                                  size_t max) const;
    // How much cheaper the best candidate is than the next different word (in lower case);
    // kNoRival when there is no other, and 0 when there are no candidates at all. Sets the cost
    // of each candidate, so that ranking them later does not measure them again.
    double Margin(std::string_view typed, std::vector<Candidate>& candidates) const;
    static constexpr double kNoRival = 1e9;

    // The two words `typed` is when a blank was dropped between them ("inthe": "in the"), in
    // lower case at typing distance 0: every cut into two words of the most common tier, one
    // of them short (see kSplitCost). None for a typed word with a blank or hyphen or longer
    // than 40 bytes.
    std::vector<Candidate> RunTogether(std::string_view typed) const;

    // The cost of one candidate for `typed` (both as written).
    double CostOf(std::string_view typed, const Candidate& candidate) const;

  private:
    // What the cost needs to know of the typed word.
    struct Typed {
        Typed(std::string_view typed, SoundKey::Spelling spelling);
        std::u32string letters;
        std::u32string lower;
        std::u32string sound;  // SoundKey of `lower`
        bool hasCapital = false;
        bool hasApostrophe = false;
        bool split = false;           // holds a blank or a hyphen
        std::u32string otherYEnding;  // English: `lower` with "ie"/"ies" as "y"/"ys", or empty
    };
    // The typing distance of a candidate, and whether the English "y"/"ie" rule gave it.
    struct Measured {
        double distance = 0;
        bool yEnding = false;
    };
    Measured Measure(const Typed& typed, const Candidate& candidate, std::u32string_view lower,
                     bool split) const;
    // `lower`: storage for the candidate's letters, reused from one candidate to the next.
    double CostFor(const Typed& typed, const Candidate& candidate, std::u32string& lower) const;
    // Sets the cost of each candidate not yet costed.
    void CostAll(const Typed& typed, std::vector<Candidate>& candidates) const;
    // The word's tier as written, else of its lower-case form; 0 when in none (or no tiers).
    int TierOf(const std::string& word) const;
    static double RarityOfTier(int tier);
    // Of the words of `words` (split at blanks and hyphens): the rarity of the rarest, and
    // whether they are what a dropped blank runs together: all of the most common tier, one
    // of them short, none beginning with the word before it (a syllable typed twice).
    struct Parts {
        double rarity = 0;
        bool blankDropped = false;
    };
    Parts PartsOf(std::string_view words) const;

    std::shared_ptr<const WordTiers> tiers_;
    SoundKey::Spelling spelling_;
};
