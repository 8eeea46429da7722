#pragma once
// Synonyms and antonyms from MyThes data (the WordNet-based English thesaurus marks antonyms
// with "(antonym)", related words with "(similar term)" or "(related term)").
//
// Functions: TextRanges gives "pos,len;" (UTF-16) for each word of a text that has synonyms
// (or antonyms); SynonymList and AntonymList give "category:w1,w2" lines separated by CR LF,
// one per meaning, where the category is the part of speech and the meaning, such as
// "(adj) full". Words are looked up as written, then in lower case. Thread-safe (the MyThes
// object reads its data file and is kept behind a mutex).
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class MyThes;

class Thesaurus {
  public:
    // Opens th_<language>*.idx/.dat in `dir`; throws std::runtime_error when there is none.
    Thesaurus(const std::string& dir, const std::string& language);
    ~Thesaurus();

    std::string TextRanges(const std::string& text, bool antonyms);
    std::string SynonymList(const std::string& word);
    std::string AntonymList(const std::string& word);

    const std::string& dataFile() const { return dataFile_; }

  private:
    struct Meaning {
        std::string category;
        std::vector<std::string> synonyms;
        std::vector<std::string> antonyms;
    };
    struct Presence {
        bool synonyms = false;
        bool antonyms = false;
    };
    std::vector<Meaning> Lookup(const std::string& word);
    std::vector<Meaning> LookupExact(const std::string& word);  // caller holds mutex_
    Presence PresenceOf(const std::string& word);
    static std::string Lines(const std::vector<Meaning>& meanings, bool antonyms);

    std::unique_ptr<MyThes> thes_;
    std::string dataFile_;
    std::mutex mutex_;
    std::unordered_map<std::string, Presence> presence_;
};
