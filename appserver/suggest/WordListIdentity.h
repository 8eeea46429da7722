#pragma once
// What a language's suggestion index is made from, so that a stored index is used only while
// those files stay the same: each dictionary file (and the word tiers) by its size and a hash
// of its contents, never by its name. Languages whose files hold the same bytes (links to one
// dictionary, the same tiers installed in two places) get the same identity and so share one stored
// index.
#include <string>
#include <vector>

class WordListIdentity {
  public:
    // Files larger than this are not hashed: the identity is then empty.
    static constexpr size_t kMaxFileBytes = size_t{1} << 30;

    // Empty when `files` is empty or one of them cannot be read: such an index is not stored.
    static WordListIdentity Of(const std::vector<std::string>& files);

    bool empty() const { return text_.empty(); }
    // One "size hash" line per file, in the order given.
    const std::string& text() const { return text_; }
    // A file name that the identity gives: "words-<16 hex digits>.index".
    const std::string& fileName() const { return fileName_; }

  private:
    std::string text_;
    std::string fileName_;
};
