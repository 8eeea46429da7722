// The grammar rule-file parser on arbitrary bytes; the rules that compile are then applied to a
// short text, so a pattern's matching is exercised too.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "grammar/GrammarChecker.h"
#include "grammar/GrammarRuleTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto table = std::make_shared<const GrammarRuleTable>(GrammarRuleTable::Parse(text));
    const GrammarChecker checker(table);
    checker.Check(u"this is is a apple. He could of gone, then more then ok.. i think");
    return 0;
}
