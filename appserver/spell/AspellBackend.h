#pragma once
// GNU Aspell back end: one speller handle, speaking UTF-8, "normal" suggestion mode.
// The library keeps some 6-8 KB for every suggestion computed until the speller is deleted
// (checks keep nothing): Wear counts the suggestions.
// The constructor throws std::runtime_error when the dictionary cannot be opened.
#include <memory>
#include <string>
#include <vector>

#include "spell/ISpeller.h"

struct AspellSpeller;  // the library's handle type

class AspellBackend : public ISpeller {
  public:
    AspellBackend(const std::string& dictDir, const std::string& language);
    bool Check(std::string_view word) override;
    std::vector<std::string> Suggest(std::string_view word, size_t max) override;
    size_t Wear() const override { return suggested_; }
    std::vector<std::string> DictionaryWords() override;

    // Dictionary names installed in `dictDir` that look like language codes ("en_US", "he").
    static std::vector<std::string> InstalledLanguages(const std::string& dictDir);
    // The word lists that hold the words of `language`: those its "LANG.multi" adds, following
    // the .multi files it names (at most kMaxWordListFiles, kMaxMultiDepth deep), so that two
    // names of one dictionary ("de", "de_DE") give the same files; empty when there is none.
    static std::vector<std::string> WordListFiles(const std::string& dictDir,
                                                  const std::string& language);
    static constexpr size_t kMaxWordListFiles = 64;
    static constexpr int kMaxMultiDepth = 8;

  private:
    struct SpellerDeleter {
        void operator()(AspellSpeller* speller) const;
    };
    std::unique_ptr<AspellSpeller, SpellerDeleter> speller_;
    size_t suggested_ = 0;
};
