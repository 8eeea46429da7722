#include "thes/Thesaurus.h"

#include <algorithm>
#include <filesystem>
#include <mythes.hxx>
#include <set>
#include <stdexcept>
#include <string_view>

#include "spell/WordShape.h"
#include "spell/WordTokenizer.h"

namespace {

constexpr size_t kMaxPresenceEntries = 100000;
constexpr size_t kMaxLookupBytes = 190;  // below MyThes's own word buffer (200 bytes)
constexpr std::string_view kAntonymMark = " (antonym)";
constexpr std::string_view kLineSeparator = "\r\n";

// "ample (similar term)" -> "ample".
std::string WithoutNote(std::string_view term) {
    if (!term.empty() && term.back() == ')') {
        const size_t open = term.rfind(" (");
        if (open != std::string_view::npos) term = term.substr(0, open);
    }
    return std::string(term);
}

bool Listable(const std::string& term) {
    return !term.empty() && term.find_first_of(",:\r\n") == std::string::npos;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// Frees a MyThes look-up result.
class LookupResult {
  public:
    explicit LookupResult(MyThes& thes) : thes_(thes) {}
    ~LookupResult() {
        if (entries_) thes_.CleanUpAfterLookup(&entries_, count_);
    }
    LookupResult(const LookupResult&) = delete;
    LookupResult& operator=(const LookupResult&) = delete;
    mentry** slot() { return &entries_; }
    void set_count(int count) { count_ = count; }
    int count() const { return count_; }
    const mentry& at(int i) const { return entries_[i]; }

  private:
    MyThes& thes_;
    mentry* entries_ = nullptr;
    int count_ = 0;
};

}  // namespace

Thesaurus::Thesaurus(const std::string& dir, const std::string& language) {
    namespace fs = std::filesystem;
    std::vector<fs::path> candidates;
    std::error_code ec;
    const std::string prefix = "th_" + language;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        fs::path dat = p;
        dat.replace_extension(".dat");
        if (p.extension() == ".idx" && p.filename().string().rfind(prefix, 0) == 0 &&
            fs::exists(dat))
            candidates.push_back(p);
    }
    if (candidates.empty())
        throw std::runtime_error("no thesaurus th_" + language + "*.idx/.dat in " + dir);
    std::sort(candidates.begin(), candidates.end());
    const fs::path idx = candidates.back();  // the highest version
    fs::path dat = idx;
    dat.replace_extension(".dat");
    thes_ = std::make_unique<MyThes>(idx.c_str(), dat.c_str());
    dataFile_ = dat.string();
}

Thesaurus::~Thesaurus() = default;

std::vector<Thesaurus::Meaning> Thesaurus::LookupExact(const std::string& word) {
    std::vector<Meaning> meanings;
    if (word.empty() || word.size() > kMaxLookupBytes) return meanings;
    LookupResult result(*thes_);
    result.set_count(thes_->Lookup(word.c_str(), static_cast<int>(word.size()), result.slot()));
    const std::string lower = WordShape::Lower(word);
    std::set<std::string> categories;
    for (int i = 0; i < result.count(); ++i) {
        const mentry& entry = result.at(i);
        if (entry.count <= 0 || !entry.psyns) continue;
        const std::string defn = entry.defn ? entry.defn : "";
        Meaning meaning;
        // A meaning line whose first term is annotated ("bang-up (similar term)") is a meaning
        // of the looked-up word itself.
        const std::string_view head = entry.psyns[0] ? entry.psyns[0] : "";
        const std::string name = WithoutNote(head);
        meaning.category =
            defn.substr(0, defn.find(' ')) + " " + (name.size() == head.size() ? name : word);
        std::replace_if(
            meaning.category.begin(), meaning.category.end(),
            [](char c) { return c == ',' || c == ':' || c == '\r' || c == '\n'; }, ' ');
        for (int n = 2; !categories.insert(meaning.category).second; ++n)
            meaning.category += " " + std::to_string(n);
        std::set<std::string> seen;
        for (int k = 0; k < entry.count; ++k) {
            const std::string_view raw = entry.psyns[k] ? entry.psyns[k] : "";
            const bool antonym = EndsWith(raw, kAntonymMark);
            const std::string term = WithoutNote(raw);
            if (!Listable(term) || WordShape::Lower(term) == lower || !seen.insert(term).second)
                continue;
            (antonym ? meaning.antonyms : meaning.synonyms).push_back(term);
        }
        meanings.push_back(std::move(meaning));
    }
    return meanings;
}

std::vector<Thesaurus::Meaning> Thesaurus::Lookup(const std::string& word) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Meaning> meanings = LookupExact(word);
    if (meanings.empty()) {
        const std::string lower = WordShape::Lower(word);
        if (lower != word) meanings = LookupExact(lower);
    }
    return meanings;
}

Thesaurus::Presence Thesaurus::PresenceOf(const std::string& word) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (const auto hit = presence_.find(word); hit != presence_.end()) return hit->second;
    }
    Presence presence;
    for (const Meaning& m : Lookup(word)) {
        presence.synonyms = presence.synonyms || !m.synonyms.empty();
        presence.antonyms = presence.antonyms || !m.antonyms.empty();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (presence_.size() >= kMaxPresenceEntries) presence_.clear();
    presence_.emplace(word, presence);
    return presence;
}

std::string Thesaurus::TextRanges(const std::string& text, bool antonyms) {
    const std::u16string utf16 = WordTokenizer::ToUtf16(text);
    std::string out;
    for (const auto& word : WordTokenizer::Words(utf16)) {
        const Presence p = PresenceOf(
            WordTokenizer::ToUtf8(std::u16string_view(utf16).substr(word.pos, word.len)));
        if (antonyms ? p.antonyms : p.synonyms)
            out += std::to_string(word.pos) + "," + std::to_string(word.len) + ";";
    }
    return out;
}

std::string Thesaurus::Lines(const std::vector<Meaning>& meanings, bool antonyms) {
    std::string out;
    for (const Meaning& m : meanings) {
        const auto& words = antonyms ? m.antonyms : m.synonyms;
        if (words.empty()) continue;
        if (!out.empty()) out += kLineSeparator;
        out += m.category + ":";
        for (size_t i = 0; i < words.size(); ++i) out += (i ? "," : "") + words[i];
    }
    return out;
}

std::string Thesaurus::SynonymList(const std::string& word) {
    WordTokenizer::ToUtf16(word);  // rejects text that is not UTF-8
    return Lines(Lookup(word), false);
}

std::string Thesaurus::AntonymList(const std::string& word) {
    WordTokenizer::ToUtf16(word);
    return Lines(Lookup(word), true);
}
