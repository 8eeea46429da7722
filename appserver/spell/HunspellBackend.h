#pragma once
// Hunspell back end: one Hunspell object for one .aff/.dic pair. Words cross the boundary as
// UTF-8 and are converted to and from the dictionary's own encoding (its SET line) when that
// is not UTF-8. The constructor throws std::runtime_error when the files cannot be used.
#include <memory>
#include <string>
#include <vector>

#include "spell/ISpeller.h"

class Hunspell;

class HunspellBackend : public ISpeller {
  public:
    HunspellBackend(const std::string& affPath, const std::string& dicPath);
    ~HunspellBackend() override;
    bool Check(std::string_view word) override;
    std::vector<std::string> Suggest(std::string_view word, size_t max) override;
    // The stems of the .dic file.
    std::vector<std::string> DictionaryWords() override;

    // Names of the .aff/.dic pairs in `dir` that look like language codes ("vi_VN").
    static std::vector<std::string> InstalledLanguages(const std::string& dir);

  private:
    // False when `in` cannot be represented in the target encoding.
    bool ToDictionary(std::string_view utf8, std::string& out) const;
    std::string FromDictionary(const std::string& encoded) const;

    std::unique_ptr<Hunspell> hunspell_;
    std::string dicPath_;
    std::string encoding_;  // empty when the dictionary is UTF-8
};
