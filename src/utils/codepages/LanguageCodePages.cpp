#include "utils/codepages/LanguageCodePages.h"

#include <array>
#include <utility>

namespace {

using Page = const SingleByteCodePage& (*)();

// Table order matters: the first row of a language wins (the second "ru" row is never reached).
const std::array<std::pair<uint16_t, Page>, 22> kLanguagePages{{
    {LanguageCodePages::Pack('r', 'u'), &SingleByteCodePage::Windows1251},
    {LanguageCodePages::Pack('p', 'l'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('a', 'm'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('e', 'n'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('u', 'k'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('f', 'r'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('g', 'e'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('p', 'b'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('d', 'k'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('d', 'a'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('c', 'b'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('n', 'o'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('s', 'p'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('s', 'w'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('s', 'e'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('i', 't'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('n', 'l'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('d', 'u'), &SingleByteCodePage::Windows1250},
    {LanguageCodePages::Pack('e', 'l'), &SingleByteCodePage::Windows1253},
    {LanguageCodePages::Pack('c', 'y'), &SingleByteCodePage::Windows1252},
    {LanguageCodePages::Pack('r', 'u'), &SingleByteCodePage::Windows1251},
    {LanguageCodePages::Pack('u', 'a'), &SingleByteCodePage::Windows1251},
}};

}  // namespace

uint16_t LanguageCodePages::Pack(std::string_view code) {
    return code.size() < 2 ? 0 : Pack(code[0], code[1]);
}

const SingleByteCodePage* LanguageCodePages::ForLanguage(uint16_t packedLanguage) {
    for (const auto& [language, page] : kLanguagePages)
        if (language == packedLanguage) return &page();
    return nullptr;
}
