// The stored suggestion index loader on damaged files: a valid file is made once, then each
// input edits it (three bytes per edit: a 16-bit position, scaled over the file, and a value;
// a first byte over 200 also cuts the file short) before it is loaded and looked up.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "suggest/SuggestionIndexFile.h"
#include "suggest/SymmetricDeleteIndex.h"

namespace {

std::string ValidFile() {
    char folder[] = "/tmp/sugidx-fuzz-XXXXXX";
    if (!::mkdtemp(folder)) return {};
    const std::string path = std::string(folder) + "/words.index";
    SuggestionIndexFile::Store(
        path, "fuzz", SymmetricDeleteIndex({"brown", "crown", "friend", "Straße", "with"}));
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::remove(path.c_str());
    ::rmdir(folder);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string valid = ValidFile();
    if (valid.empty()) return 0;
    std::vector<uint64_t> aligned((valid.size() + 7) / 8);
    std::memcpy(aligned.data(), valid.data(), valid.size());
    auto* bytes = reinterpret_cast<unsigned char*>(aligned.data());
    size_t length = valid.size();
    if (size > 0 && data[0] > 200) length = length * (data[0] - 200) / 56;
    for (size_t i = 1; i + 3 <= size; i += 3) {
        const size_t position = (static_cast<size_t>(data[i]) << 8 | data[i + 1]) * length >> 16;
        if (position < length) bytes[position] = data[i + 2];
    }
    const auto index = SuggestionIndexFile::FromBytes(
        {reinterpret_cast<const std::byte*>(bytes), length}, "fuzz", nullptr);
    if (index)
        for (const char* typed : {"brwon", "freind", "strase", "wth", "x"}) index->Near(typed);
    return 0;
}
