#pragma once
// The backslash escapes of log lines, JSON strings and script strings, from one table: each byte
// is kept, gets a backslash in front, gets its short escape (\t \n \r \b \f) or is written as a
// number in the escaper's numeric form. Runs of kept bytes are copied whole.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class BackslashEscaper {
  public:
    enum class NumericForm {
        kHexByte,  // "\x1b": two lower-case hex digits (log lines)
        kUnicode,  // "\u001B": four upper-case hex digits (JSON and script strings)
    };

    // Escapes backslash; TAB, LF and CR as \t \n \r; every other byte below 0x20 and DEL as a
    // number. `backslashed` get a backslash in front, `numeric` are written as numbers too,
    // `shortFormFeed` adds \b and \f, and `lineSeparators` writes U+2028 and U+2029 as \u2028 and
    // \u2029 (line terminators to older script engines).
    constexpr BackslashEscaper(NumericForm form, std::string_view backslashed,
                               std::string_view numeric, bool shortFormFeed, bool lineSeparators)
        : form_(form) {
        for (int byte = 0; byte < 0x20; ++byte) kinds_[byte] = kNumeric;
        kinds_[0x7F] = kNumeric;
        kinds_['\\'] = kBackslash;
        kinds_['\t'] = kinds_['\n'] = kinds_['\r'] = kShort;
        if (shortFormFeed) kinds_['\b'] = kinds_['\f'] = kShort;
        for (char c : backslashed) kinds_[static_cast<unsigned char>(c)] = kBackslash;
        for (char c : numeric) kinds_[static_cast<unsigned char>(c)] = kNumeric;
        if (lineSeparators) kinds_[0xE2] = kLeadOfSeparator;
    }

    std::string Escape(std::string_view in) const;
    void AppendEscaped(std::string_view in, std::string& out) const;

  private:
    enum Kind : std::uint8_t { kKeep, kBackslash, kShort, kNumeric, kLeadOfSeparator };

    void AppendNumeric(unsigned char byte, std::string& out) const;

    std::array<Kind, 256> kinds_{};
    NumericForm form_;
};

// Log fields and lines: backslash, \t \n \r, "\x.." for the other control bytes and DEL.
inline constexpr BackslashEscaper kLogEscaper{BackslashEscaper::NumericForm::kHexByte, "", "",
                                              false, false};
// JSON strings: besides '"'; \b \f; "\u00XX"; U+2028 and U+2029.
inline constexpr BackslashEscaper kJsonEscaper{BackslashEscaper::NumericForm::kUnicode, "\"", "",
                                               true, true};
// Script strings a page may embed: the JSON escape, and '\'', '<', '>', '&' as numbers, so the
// string can end neither a single-quoted literal nor a surrounding element or attribute.
inline constexpr BackslashEscaper kScriptEscaper{BackslashEscaper::NumericForm::kUnicode, "\"",
                                                 "'<>&", true, true};
