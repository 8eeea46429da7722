#include "kernel/filters/IntTextLoad_FLT.h"

#include <memory>

#include "templates/TemplateMap.h"
#include "text/Utf16Conversion.h"
#include "utils/FileCache.h"
#include "utils/InternalDataKeys.h"
#include "utils/PathSafety.h"

namespace {

constexpr char kOpenFailed[] = "Error opening language-specific text file.";
constexpr char kLastResortLanguage[] = "en_US";

// UTF-16 bytes (after the byte-order mark) as code units; an odd last byte is dropped.
std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return units;
}

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

// UTF-16 files are parsed by the byte grammar after conversion to UTF-8. This gives the same
// entries as running the grammar over the code units and converting each key and value
// afterwards: every character the grammar treats specially (LF, CR, TAB, blank, '\\', '#', '=',
// '"') is ASCII, and the conversion turns each ASCII code unit into the same single byte and
// every other code unit (or surrogate pair) into bytes of 0x80 and above, which the grammar
// appends like any ordinary character. The one look-ahead of the grammar, a backslash making the
// next character ordinary, makes the first byte of a multi-byte sequence ordinary, and the bytes
// after it are ordinary anyway. Lone surrogates, which UTF-8 cannot carry, become U+FFFD.
IntTextLoad_FLT::Texts IntTextLoad_FLT::ParseTextFile(const std::string& bytes) {
    if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) {
        const bool bigEndian = bytes[0] == '\xFE';
        const std::string utf8 =
            Utf16ToUtf8(Utf16Units(std::string_view(bytes).substr(2), bigEndian));
        return {CIniParser::ParseIniText(utf8), true};
    }
    std::string_view text = bytes;
    if (StartsWith(bytes, "\xEF\xBB\xBF")) text.remove_prefix(3);
    return {CIniParser::ParseIniText(text), false};
}

std::vector<std::string> IntTextLoad_FLT::CandidateFiles(StringMap& map) {
    const std::string intlang = map["intlang"];
    std::vector<std::string> files;
    for (const std::string& language :
         {intlang, intlang.substr(0, 2), map["def_int_lang"], std::string(kLastResortLanguage)})
        if (IsSafePathComponent(language)) files.push_back("text_" + language + ".txt");
    return files;
}

bool IntTextLoad_FLT::NeedsTexts(StringMap& map, InternalData& data) {
    try {
        return data.Get<TemplateMap>(idkey::TemplateMap)[map["cmd"]]->needsIntText();
    } catch (const TemplateInformationAbsent&) {
        // No template for the command, or none for its selector value: load the texts; the
        // template stage reports a missing template.
        return true;
    }
}

void IntTextLoad_FLT::load(StringMap& map, InternalData& data) {
    if (!NeedsTexts(map, data)) return;
    const std::string& dir = map[":text_dir:"];
    std::shared_ptr<const Texts> texts;
    // A name that does not open, or a directory of that name: try the next name.
    for (const auto& name : CandidateFiles(map)) {
        texts = FileCache::Process().parsed<Texts>(dir + name, &ParseTextFile);
        if (texts) break;
    }
    if (!texts) VERB_THROW(ILoadException, kOpenFailed);

    for (const auto& [key, value] : texts->entries) {
        if (texts->replaceExisting)
            map[key] = value;
        else
            map.emplace(key, value);
    }
}

void IntTextLoad_FLT::apply(StringMap& map, InternalData& data) {
    try {
        load(map, data);
    } catch (const Filter::exception&) {
        throw;
    } catch (const std::exception& e) {
        VERB_THROW(ILoadException,
                   std::string("IntTextLoader::apply() - internal error. ") + e.what());
    } catch (...) {
        VERB_THROW(ILoadException, "IntTextLoader::apply() - internal error.");
    }
}
