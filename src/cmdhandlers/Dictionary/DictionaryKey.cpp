#include "cmdhandlers/Dictionary/DictionaryKey.h"

#include "cmdhandlers/JsonApi/ChangeGuard.h"
#include "kernel/SettingsCookies.h"

namespace {
constexpr char kKeyParameter[] = "udk";
}  // namespace

std::string DictionaryKey::Of(StringMap& map) {
    const std::string& sent = map[kKeyParameter];
    return sent.empty() ? map[SettingsCookies::kDictionaryKeyValue] : sent;
}

bool DictionaryKey::MayChange(StringMap& map) {
    return ChangeGuard::Allows(map, !map[kKeyParameter].empty());
}

void DictionaryKey::Keep(StringMap& map, const std::string& key) {
    map[SettingsCookies::kDictionaryKeyValue] = key;
}
