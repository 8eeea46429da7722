#pragma once
// Loads the interface-language texts (translated interface strings, language display names)
// into the string map, when the command's template asks for them or the command has no
// template in the map. Runs after PostProcessSettings_FLT and before the pre-processing stage.
//
// Reads: "cmd", ":text_dir:", "intlang", "def_int_lang"; InternalData TemplateMap (5).
// Writes: one string-map entry per text of the file. A UTF-8 file (byte-order mark optional)
// adds only keys that have no entry yet; a UTF-16 file (byte-order mark FF FE or FE FF) replaces
// existing values.
// The file is the first that opens of ":text_dir:" "text_" + X + ".txt" for X = "intlang", its
// first two characters, "def_int_lang", "en_US". A language that is not a safe path component
// (a "/", "\\", ".." or control byte) is skipped, so no file outside the text folder is read.
// A persistent process parses a file again only when it changed (FileCache).
// Throws ILoadException "Error opening language-specific text file." when none can be read, or
// "IntTextLoader::apply() - internal error." ...
#include <string>
#include <vector>

#include "kernel/CIniParser.h"
#include "kernel/Filter.h"

class IntTextLoad_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(ILoadException);

    void apply(StringMap& map, InternalData& data) override;

    // The text file names to try, in order (safe languages only).
    static std::vector<std::string> CandidateFiles(StringMap& map);

    struct Texts {
        CIniParser::Entries entries;
        bool replaceExisting = false;  // true for UTF-16 files
    };
    // The texts of a whole file's bytes, in any of the three encodings.
    static Texts ParseTextFile(const std::string& bytes);

  private:
    static bool NeedsTexts(StringMap& map, InternalData& data);
    void load(StringMap& map, InternalData& data);
};
