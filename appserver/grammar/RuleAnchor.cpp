#include "grammar/RuleAnchor.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <optional>

namespace {

using View = std::u16string_view;
constexpr size_t kNone = View::npos;

bool IsLetter(char16_t c) { return !U16_IS_SURROGATE(c) && u_isalpha(c); }

// The index just past the "]" that closes the class opened at `open`, or kNone.
size_t ClassEnd(View p, size_t open) {
    int depth = 0;
    for (size_t i = open; i < p.size(); ++i) {
        if (p[i] == u'\\') {
            ++i;
        } else if (p[i] == u'[') {
            ++depth;
        } else if (p[i] == u']' && --depth == 0) {
            return i + 1;
        }
    }
    return kNone;
}

// The index just past the ")" that closes the group opened at `open`, or kNone.
size_t GroupEnd(View p, size_t open) {
    int depth = 0;
    for (size_t i = open; i < p.size(); ++i) {
        if (p[i] == u'\\') {
            ++i;
        } else if (p[i] == u'[') {
            i = ClassEnd(p, i);
            if (i == kNone) return kNone;
            --i;
        } else if (p[i] == u'(') {
            ++depth;
        } else if (p[i] == u')' && --depth == 0) {
            return i + 1;
        }
    }
    return kNone;
}

// The alternatives of `p` at its own top level ("a|b(c|d)" gives "a" and "b(c|d)"), or nothing
// when the pattern cannot be read.
std::optional<std::vector<View>> Alternatives(View p) {
    std::vector<View> out;
    size_t start = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i] == u'\\') {
            ++i;
        } else if (p[i] == u'[' || p[i] == u'(') {
            const size_t end = p[i] == u'[' ? ClassEnd(p, i) : GroupEnd(p, i);
            if (end == kNone) return std::nullopt;
            i = end - 1;
        } else if (p[i] == u'|') {
            out.push_back(p.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(p.substr(start));
    return out;
}

bool IsQuantifier(char16_t c) { return c == u'?' || c == u'*' || c == u'{'; }

// Whether `rest`, what follows an element, starts with a quantifier that lets it match nothing.
bool MakesOptional(View rest) {
    if (rest.empty() || !IsQuantifier(rest[0])) return false;
    return rest[0] != u'{' || rest.size() < 2 || rest[1] < u'1' || rest[1] > u'9';
}

// The leading letters of a literal ("it['’]s" gives "it"); a letter that a quantifier makes
// optional ends the word before it.
std::optional<std::u16string> LiteralWord(View p) {
    size_t n = 0;
    while (n < p.size() && IsLetter(p[n])) ++n;
    if (n > 0 && n < p.size() && IsQuantifier(p[n])) --n;
    if (n == 0) return std::nullopt;
    return std::u16string(p.substr(0, n));
}

// The length of a group's opening: "(", "(?:" or "(?i:" style; kNone for look-arounds, named
// groups and the like.
size_t GroupOpening(View p) {
    if (p.size() < 2 || p[0] != u'(') return kNone;
    if (p[1] != u'?') return 1;
    size_t i = 2;
    while (i < p.size() && (p[i] == u'-' || (p[i] >= u'a' && p[i] <= u'z' && p[i] != u'x'))) ++i;
    return i < p.size() && p[i] == u':' ? i + 1 : kNone;
}

// The words one of which the text at `p`'s start must begin with: a literal, or a group of
// literal alternatives that no quantifier makes optional.
std::optional<std::vector<std::u16string>> WordsAt(View p) {
    if (p.empty()) return std::nullopt;
    if (p[0] != u'(') {
        auto word = LiteralWord(p);
        if (!word) return std::nullopt;
        return std::vector<std::u16string>{*word};
    }
    const size_t opening = GroupOpening(p);
    const size_t end = GroupEnd(p, 0);
    if (opening == kNone || end == kNone || (end < p.size() && IsQuantifier(p[end])))
        return std::nullopt;
    const auto alternatives = Alternatives(p.substr(opening, end - 1 - opening));
    if (!alternatives) return std::nullopt;
    std::vector<std::u16string> out;
    for (View alternative : *alternatives) {
        auto word = LiteralWord(alternative);
        if (!word) return std::nullopt;
        out.push_back(*word);
    }
    return out;
}

// Whether the match starts with one letter or more: "\p{L}+", "(\p{L}+)", "\p{Ll}" and the like.
bool StartsWithLetterClass(View p) {
    size_t end = p.size();
    if (!p.empty() && p[0] == u'(') {
        const size_t opening = GroupOpening(p);
        end = GroupEnd(p, 0);
        if (opening == kNone || end == kNone || (end < p.size() && IsQuantifier(p[end])))
            return false;
        p = p.substr(opening, end - 1 - opening);
        const auto alternatives = Alternatives(p);
        if (!alternatives || alternatives->size() != 1) return false;
    }
    for (View letters : {View(u"\\p{L}"), View(u"\\p{Ll}"), View(u"\\p{Lu}")})
        if (p.substr(0, letters.size()) == letters)
            return letters.size() == p.size() || !IsQuantifier(p[letters.size()]);
    return false;
}

// The characters other than letters one of which starts the match: "[,;]", "([!?])", "\.",
// "[ \t]+" and the like; nothing when the start is anything else or may be skipped.
std::optional<std::u16string> CharsAt(View p) {
    if (!p.empty() && p[0] == u'(') {
        const size_t opening = GroupOpening(p);
        const size_t end = GroupEnd(p, 0);
        if (opening == kNone || end == kNone || (end < p.size() && IsQuantifier(p[end])))
            return std::nullopt;
        const View inner = p.substr(opening, end - 1 - opening);
        const auto alternatives = Alternatives(inner);
        if (!alternatives || alternatives->size() != 1) return std::nullopt;
        return CharsAt(inner);
    }
    std::u16string chars;
    size_t end = 0;
    if (p.substr(0, 1) == u"[" && p.substr(0, 2) != u"[^") {
        end = ClassEnd(p, 0);
        if (end == kNone) return std::nullopt;
        for (size_t i = 1; i + 1 < end; ++i) {
            const bool escaped = p[i] == u'\\';
            if (escaped) ++i;
            const char16_t c = p[i];
            if (escaped && c == u't') {
                chars += u'\t';
                continue;
            }
            // Only plain characters: no ranges, nested classes, properties or other escapes.
            if (IsLetter(c) || U16_IS_SURROGATE(c) ||
                (!escaped && (c == u'-' || c == u'[' || c == u'&')))
                return std::nullopt;
            chars += c;
        }
    } else if (p.substr(0, 1) == u"\\" && p.size() > 1 && !IsLetter(p[1]) &&
               !(p[1] >= u'0' && p[1] <= u'9')) {
        chars += p[1];
        end = 2;
    } else if (!p.empty() && !IsLetter(p[0]) && View(u"()[]{}|^$.*+?\\").find(p[0]) == kNone &&
               !U16_IS_SURROGATE(p[0])) {
        chars += p[0];
        end = 1;
    } else {
        return std::nullopt;
    }
    if (chars.empty() || MakesOptional(p.substr(end))) return std::nullopt;
    return chars;
}

// A look-behind that holds only after a non-letter: "(?<![\p{L}...])" or one whose text ends in
// at least one blank ("(?<=\bme[ \t]{1,2})").
bool BehindIsNoLetter(View body, bool negative) {
    if (negative) {
        if (body == u"\\p{L}") return true;
        if (body.empty() || body[0] != u'[' || body.substr(0, 2) == u"[^") return false;
        const size_t end = ClassEnd(body, 0);
        return end == body.size() && body.substr(0, end).find(u"\\p{L}") != kNone;
    }
    if (!body.empty() && body.back() == u'+') {
        body.remove_suffix(1);
    } else if (!body.empty() && body.back() == u'}') {
        const size_t open = body.rfind(u'{');
        if (open == kNone || open + 1 >= body.size() || body[open + 1] < u'1' ||
            body[open + 1] > u'9')
            return false;
        body = body.substr(0, open);
    }
    static constexpr std::array<View, 4> kBlanks = {u"[ \\t]", u" ", u"[ \\t\\r\\n]", u"\\s"};
    for (View blank : kBlanks)
        if (body.size() >= blank.size() && body.substr(body.size() - blank.size()) == blank)
            return true;
    return false;
}

// The index of the first element the match consumes: past the leading \b, inline flags and
// look-arounds. Sets `afterNonLetter` when one of them shows that a non-letter precedes the
// match, and `words` when a look-ahead names the words the match starts with. kNone when an
// element there cannot be read.
size_t SkipZeroWidth(View p, bool& afterNonLetter,
                     std::optional<std::vector<std::u16string>>& words) {
    size_t i = 0;
    while (i < p.size()) {
        const View rest = p.substr(i);
        if (rest.substr(0, 2) == u"\\b") {
            afterNonLetter = true;
            i += 2;
            continue;
        }
        if (rest.substr(0, 2) != u"(?" || GroupOpening(rest) != kNone) return i;
        const size_t end = GroupEnd(p, i);
        if (end == kNone) return kNone;
        const View group = p.substr(i, end - i);
        const View body = group.size() > 5 ? group.substr(4, group.size() - 5) : View();
        if (group.substr(0, 4) == u"(?<!" || group.substr(0, 4) == u"(?<=") {
            afterNonLetter = afterNonLetter || BehindIsNoLetter(body, group[3] == u'!');
        } else if (group.substr(0, 3) == u"(?=") {
            if (!words) words = WordsAt(group.substr(3, group.size() - 4));
        } else if (group.substr(0, 3) != u"(?!" &&
                   group.substr(2, group.size() - 3).find_first_not_of(u"-imsuw") != kNone) {
            return kNone;  // named or atomic groups, comments, free-spacing mode
        }
        i = end;
    }
    return i;
}

// Whether `p` opens a capturing group before `end`, so that a later group is not group 1.
bool HasCapturingGroup(View p, size_t end) {
    for (size_t i = 0; i < end && i < p.size(); ++i) {
        if (p[i] == u'\\') {
            ++i;
        } else if (p[i] == u'[') {
            i = ClassEnd(p, i);
            if (i == kNone) return true;
            --i;
        } else if (p[i] == u'(' && (i + 1 >= p.size() || p[i + 1] != u'?')) {
            return true;
        }
    }
    return false;
}

// The length of a blank at `p`'s start: " ", "\t", "\r", "\n" or a class of only those; 0 if
// none. `optional` tells whether a quantifier after it lets it match nothing.
size_t BlankAt(View p, bool& optional) {
    size_t n = 0;
    if (p.substr(0, 1) == u" ") {
        n = 1;
    } else if (p.size() >= 2 && p[0] == u'\\' && View(u"trn").find(p[1]) != kNone) {
        n = 2;
    } else if (p.substr(0, 1) == u"[" && p.substr(0, 2) != u"[^") {
        n = ClassEnd(p, 0);
        if (n == kNone) return 0;
        for (size_t i = 1; i + 1 < n; ++i) {
            if (p[i] == u' ') continue;
            if (p[i] != u'\\' || i + 2 >= n || View(u"trn").find(p[i + 1]) == kNone) return 0;
            ++i;
        }
    } else {
        return 0;
    }
    optional = MakesOptional(p.substr(n));
    if (n < p.size() && (p[n] == u'?' || p[n] == u'*' || p[n] == u'+')) return n + 1;
    if (n < p.size() && p[n] == u'{') {
        const size_t close = p.find(u'}', n);
        if (close == kNone ||
            p.substr(n + 1, close - n - 1).find_first_not_of(u"0123456789,") != kNone)
            return 0;
        return close + 1;
    }
    return n;
}

// Whether the group at `p`'s start only looks ahead: "(?!...)", "(?=...)", or a group with inline
// flags that holds nothing but such look-aheads ("(?-i:(?!\p{Lu}\p{Ll}))"). Its length, or 0.
size_t LookAheadAt(View p) {
    const size_t end = GroupEnd(p, 0);
    if (end == kNone || (end < p.size() && IsQuantifier(p[end]))) return 0;
    if (p.substr(0, 3) == u"(?!" || p.substr(0, 3) == u"(?=") return end;
    const size_t opening = GroupOpening(p);
    if (opening == kNone || opening < 3) return 0;
    for (size_t i = opening; i + 1 < end;) {
        const size_t inner = LookAheadAt(p.substr(i, end - 1 - i));
        if (inner == 0) return 0;
        i += inner;
    }
    return end;
}

// See RuleAnchor::repeatsWord(); `first` is where the match's first element starts.
bool RepeatsWord(View p, size_t first) {
    static constexpr View kWord = u"(\\p{L}+)";
    if (HasCapturingGroup(p, first) || p.substr(first, kWord.size()) != kWord) return false;
    bool someBlankNeeded = false;
    for (size_t i = first + kWord.size(); i < p.size();) {
        const View rest = p.substr(i);
        if (rest.substr(0, 2) == u"\\1")
            return someBlankNeeded && (rest.size() == 2 || rest[2] < u'0' || rest[2] > u'9');
        bool optional = false;
        if (const size_t blank = BlankAt(rest, optional)) {
            someBlankNeeded = someBlankNeeded || !optional;
            i += blank;
        } else if (const size_t ahead = rest.substr(0, 1) == u"(" ? LookAheadAt(rest) : 0) {
            i += ahead;
        } else {
            return false;
        }
    }
    return false;
}

// For a match that starts with a word at `first` (a literal or a group): the words one of which
// starts a letter run later in every match, as a blank that must be there and look-aheads are
// all that lies between ("\b(could|should)[ \t]+(?!x)(?:of|have)" gives of, have); none when
// the pattern goes on otherwise.
std::vector<std::u16string> LaterWords(View p, size_t first) {
    size_t i = first;
    if (p.substr(i, 1) == u"(") {
        i = GroupEnd(p, first);
        if (i == kNone || (i < p.size() && IsQuantifier(p[i]))) return {};
    } else {
        while (i < p.size() && IsLetter(p[i])) ++i;
    }
    bool optional = false;
    const size_t blank = BlankAt(p.substr(i), optional);
    if (blank == 0 || optional) return {};
    i += blank;
    while (const size_t ahead = p.substr(i, 1) == u"(" ? LookAheadAt(p.substr(i)) : 0) i += ahead;
    auto words = WordsAt(p.substr(i));
    return words ? std::move(*words) : std::vector<std::u16string>();
}

// For a match that starts with blanks at `first` (of `blanks`): the characters, none of them
// blanks, one of which follows those blanks in every match ("[ \t]+([,;])" gives ",;"), as
// look-aheads are all that lies between; none when the pattern goes on otherwise.
std::u16string LaterChars(View p, size_t first, const std::u16string& blanks) {
    bool optional = false;
    size_t i = first + BlankAt(p.substr(first), optional);
    if (i == first || optional) return {};
    while (const size_t ahead = p.substr(i, 1) == u"(" ? LookAheadAt(p.substr(i)) : 0) i += ahead;
    const auto chars = CharsAt(p.substr(i));
    if (!chars || chars->find_first_of(blanks) != std::u16string::npos) return {};
    return *chars;
}

// Whether the pattern sets case-insensitive matching for what follows ("(?i)", "(?mi)"): a
// letter class then also matches the other case.
bool SetsIgnoreCase(View p) {
    for (size_t i = p.find(u"(?"); i != kNone; i = p.find(u"(?", i + 1)) {
        size_t end = i + 2;
        bool ignoreCase = false;
        for (bool off = false;
             end < p.size() && (p[end] == u'-' || (p[end] >= u'a' && p[end] <= u'z')); ++end) {
            off = off || p[end] == u'-';
            ignoreCase = ignoreCase || (p[end] == u'i' && !off);
        }
        if (ignoreCase && end < p.size() && p[end] == u')') return true;
    }
    return false;
}

}  // namespace

std::u16string RuleAnchor::Folded(std::u16string_view text) {
    // Most runs are ASCII, where full case folding is lowering A-Z.
    if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; })) {
        std::u16string folded(text);
        for (char16_t& c : folded)
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        return folded;
    }
    icu::UnicodeString folded(false, text.data(), static_cast<int32_t>(text.size()));
    folded.foldCase();
    return std::u16string(folded.getBuffer(), static_cast<size_t>(folded.length()));
}

RuleAnchor RuleAnchor::Of(std::u16string_view p) {
    RuleAnchor anchor;
    const auto alternatives = Alternatives(p);
    if (!alternatives || alternatives->size() != 1 || p.find(u"\\Q") != kNone) return anchor;
    bool afterNonLetter = false;
    std::optional<std::vector<std::u16string>> words;
    const size_t first = SkipZeroWidth(p, afterNonLetter, words);
    if (first == kNone) return anchor;
    if (!words) {
        if (auto chars = CharsAt(p.substr(first))) {
            anchor.kind_ = Kind::kChars;
            anchor.chars_ = std::move(*chars);
            anchor.laterChars_ = LaterChars(p, first, anchor.chars_);
            return anchor;
        }
    }
    if (!afterNonLetter) return anchor;
    // A match that must start with a lower-case letter.
    static constexpr View kLower = u"\\p{Ll}";
    anchor.lowerCaseFirst_ = p.substr(first, kLower.size()) == kLower &&
                             !MakesOptional(p.substr(first + kLower.size())) && !SetsIgnoreCase(p);
    if (!words && StartsWithLetterClass(p.substr(first))) {
        anchor.kind_ = Kind::kAnyWord;
        anchor.repeatsWord_ = RepeatsWord(p, first);
        return anchor;
    }
    if (!words) words = WordsAt(p.substr(first));
    if (!words) return RuleAnchor();
    anchor.kind_ = Kind::kWords;
    for (const std::u16string& word : *words) anchor.words_.push_back(Folded(word));
    for (const std::u16string& word : LaterWords(p, first))
        anchor.laterWords_.push_back(Folded(word));
    return anchor;
}
