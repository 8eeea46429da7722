#include "suggest/LanguageSuggester.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "core/Log.h"
#include "suggest/SuggestionIndexFile.h"

namespace {

constexpr int kLockPollMs = 200;

// An exclusive lock on a lock file beside a stored index, taken by polling so that a stop
// request is seen while another process holds it. Not locked when the file cannot be made (the
// index is then built without it).
class BuilderLock {
  public:
    BuilderLock(const std::string& path, const std::atomic<bool>* stop) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK || (stop && stop->load())) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(kLockPollMs));
        }
    }
    ~BuilderLock() {
        if (fd_ >= 0) ::close(fd_);  // releases the lock
    }
    BuilderLock(const BuilderLock&) = delete;
    BuilderLock& operator=(const BuilderLock&) = delete;

  private:
    int fd_ = -1;
};

long long MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

}  // namespace

LanguageSuggester::LanguageSuggester(std::string language, std::shared_ptr<const WordTiers> tiers,
                                     WordSource words, StoredIndex stored)
    : language_(std::move(language)),
      tiers_(tiers ? std::move(tiers) : std::make_shared<const WordTiers>()),
      ranker_(tiers_, language_.starts_with("en") ? SoundKey::Spelling::kEnglish
                                                  : SoundKey::Spelling::kAny),
      words_(std::move(words)),
      stored_(std::move(stored)) {}

std::optional<SymmetricDeleteIndex> LanguageSuggester::LoadStored() const {
    if (stored_.path.empty()) return std::nullopt;
    return SuggestionIndexFile::Load(stored_.path, stored_.identity);
}

void LanguageSuggester::Publish(SymmetricDeleteIndex index, const std::string& how,
                                std::chrono::steady_clock::time_point start) {
    {
        std::lock_guard<std::mutex> lock(publishing_);
        if (ready()) return;
        index_ = std::move(index);
        ready_.store(true, std::memory_order_release);
    }
    Log::Info("suggestion index " + language_ + ": " + std::to_string(index_->words()) +
              " words, " + std::to_string(index_->ApproximateBytes() >> 20) + " MiB " + how +
              " in " + std::to_string(MsSince(start)) + " ms");
}

bool LanguageSuggester::Start() {
    if (started_.exchange(true)) return false;
    const auto start = std::chrono::steady_clock::now();
    if (std::optional<SymmetricDeleteIndex> stored = LoadStored()) {
        Publish(std::move(*stored), "mapped from " + stored_.path, start);
        return false;
    }
    return true;
}

void LanguageSuggester::Prepare(const std::atomic<bool>* stop) {
    started_ = true;
    std::call_once(built_, [this, stop] {
        if (ready()) return;
        const auto start = std::chrono::steady_clock::now();
        std::optional<BuilderLock> lock;
        if (!stored_.path.empty()) {
            lock.emplace(stored_.path + ".lock", stop);
            if (std::optional<SymmetricDeleteIndex> stored = LoadStored())
                return Publish(std::move(*stored), "mapped from " + stored_.path, start);
        }
        SymmetricDeleteIndex built(words_(*tiers_), stop);
        if (stop && stop->load()) return;
        if (!stored_.path.empty()) {
            if (!SuggestionIndexFile::Store(stored_.path, stored_.identity, built))
                Log::Warning("cannot store the suggestion index in " + stored_.path);
            else if (std::optional<SymmetricDeleteIndex> stored = LoadStored())
                return Publish(std::move(*stored), "built and stored in " + stored_.path, start);
        }
        Publish(std::move(built), "built", start);
    });
}

const SymmetricDeleteIndex* LanguageSuggester::Ready() const {
    return ready() ? &*index_ : nullptr;
}

size_t LanguageSuggester::IndexBytes() const {
    const SymmetricDeleteIndex* index = Ready();
    return index ? index->ApproximateBytes() : 0;
}
std::vector<std::string> LanguageSuggester::Suggest(std::string_view word, size_t max,
                                                    const Library& library, LibrarySpeed speed) {
    // Without words of its own or their frequencies the engine knows nothing the library does
    // not: the library's order stands.
    const SymmetricDeleteIndex* index = Ready();
    if ((!index || index->words() == 0) && tiers_->size() == 0) {
        std::vector<std::string> list = library(word);
        if (list.size() > max) list.resize(max);
        return list;
    }
    std::vector<SuggestionRanker::Candidate> candidates;
    double best = SymmetricDeleteIndex::kMaxDistance + 1;
    if (index)
        for (SymmetricDeleteIndex::Match& m : index->Near(word)) {
            best = std::min(best, m.distance);
            candidates.push_back({std::move(m.word), m.distance, -1});
        }
    // Two words run together are no cheap slip of letters: they leave `best` alone, so that
    // the library is still asked when no single word is near.
    for (SuggestionRanker::Candidate& c : ranker_.RunTogether(word))
        candidates.push_back(std::move(c));
    const bool unclear =
        speed == LibrarySpeed::kFast && ranker_.Margin(word, candidates) < kClearMargin;
    if (best > kCheapDistance || unclear) {
        const std::vector<std::string> list = library(word);
        for (size_t i = 0; i < list.size(); ++i)
            candidates.push_back({list[i], -1, static_cast<int>(i)});
    }
    return ranker_.Rank(word, std::move(candidates), max);
}
