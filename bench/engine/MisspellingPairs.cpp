#include "MisspellingPairs.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace {

std::ifstream Open(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    return in;
}

}  // namespace

std::vector<MisspellingPair> MisspellingPairs::LoadMitton(const std::string& path) {
    std::ifstream in = Open(path);
    std::vector<MisspellingPair> pairs;
    std::string line, correct;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::replace(line.begin(), line.end(), '_', ' ');
        if (line[0] == '$')
            correct = line.substr(1);
        else if (!correct.empty())
            pairs.push_back({correct, line});
    }
    return pairs;
}

std::vector<MisspellingPair> MisspellingPairs::LoadCodespell(const std::string& path) {
    std::ifstream in = Open(path);
    std::vector<MisspellingPair> pairs;
    std::string line;
    while (std::getline(in, line)) {
        const size_t arrow = line.find("->");
        if (arrow == std::string::npos || line.find(',') != std::string::npos ||
            line.find(' ') < arrow)
            continue;
        pairs.push_back({line.substr(arrow + 2), line.substr(0, arrow)});
    }
    return pairs;
}
