#pragma once
// The INI file format of both programs: one "key=value" per line, '#' comments, backslash
// escapes, no sections, the first occurrence of a key wins. The format is defined by the single
// pass of ParseIniText, byte for byte; its consequences, which configuration files rely on:
//  - '#' starts a comment anywhere (also inside quotes and values) up to the line end; that line
//    end only ends the comment, so it never commits the entry.
//  - '=', '#', '"' and '\' inside a value need a backslash before them; a bare '=' is dropped.
//  - A backslash before the line end continues the value on the next line, leading blanks kept.
//  - Double quotes only keep line ends from committing; the quotes never reach the value.
//  - Blanks and tabs inside a key are dropped; a line without '=' prefixes the next key.
//  - An entry with an empty value is not committed at its line end: the next line's text
//    continues its value ("a=" then "b=2" stores a = "b2").
//  - Trailing blanks are trimmed from a value committed at a line end, not from one committed
//    at the end of the text.
// Stateless; safe to use from any thread.
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

class CIniParser {
  public:
    using Entries = std::map<std::string, std::string>;

    class CIniParserException : public std::runtime_error {
      public:
        using std::runtime_error::runtime_error;
    };

    // Reads the file at `path` and parses it. CR LF line ends are read as LF. A persistent
    // process parses a file again only when it changed (FileCache).
    // Throws CIniParserException (" Can not open: <path>") when the file cannot be opened or read.
    static Entries LoadIniFile(const std::string& path);
    // The same, without a copy: the entries kept for the file as it is now (never null).
    static std::shared_ptr<const Entries> SharedIniFile(const std::string& path);

    // Parses the whole text of an INI file. Never fails: malformed text yields fewer entries.
    static Entries ParseIniText(std::string_view text);
};
