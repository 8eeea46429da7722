#include "cmdhandlers/JsonApi/V2Words_CH.h"

#include <charconv>
#include <cstdint>
#include <nlohmann/json.hpp>

#include "cmdhandlers/JsonApi/ApiEngineCall.h"
#include "cmdhandlers/JsonApi/ChangeGuard.h"
#include "cmdhandlers/JsonApi/JsonApiAnswer.h"
#include "kernel/CommandRegistry.h"

VERB_REGISTER_COMMAND(Program::Orthd, "v2/words", V2Words_CH);
VERB_REGISTER_COMMAND(Program::Orthd, "v2/words/add", V2Words_CH);
VERB_REGISTER_COMMAND(Program::Orthd, "v2/words/delete", V2Words_CH);

namespace {

using nlohmann::json;

std::string Required(StringMap& map, const char* name, const char* shown) {
    const std::string value = map[name];
    if (value.empty())
        throw ApiFailure(ApiFailure::kBadRequest, std::string("Missing '") + shown + "' parameter");
    return value;
}

size_t Number(const std::string& text, size_t fallback) {
    size_t value = fallback;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::vector<std::string> Call(StringMap& map, InternalData& data, const std::string& function,
                              const std::vector<std::string>& params, size_t expected) {
    return ApiEngineCall::Call(map, data, "", function, params, expected);
}

json List(StringMap& map, InternalData& data, const std::string& name, const std::string& key) {
    const std::string words = Call(map, data, "list_user_dictionary", {name, key}, 1).front();
    const size_t offset = Number(map["offset"], 0);
    const size_t limit = Number(map["limit"], SIZE_MAX);
    json list = json::array();
    size_t index = 0;
    for (size_t at = 0; at < words.size() && list.size() < limit;) {
        const size_t end = std::min(words.find('\n', at), words.size());
        if (index++ >= offset) list.push_back(words.substr(at, end - at));
        at = end + 1;
    }
    return {{"words", list}};
}

json Add(StringMap& map, InternalData& data, const std::string& name, const std::string& key) {
    const std::string word = Required(map, "word", "word");
    if (key.empty() && map["claim"] == "true")
        return {{"added", false},
                {"apiKey", Call(map, data, "claim_user_dictionary", {name}, 1).front()}};
    try {
        Call(map, data, "add_user_dictionary_words", {name, key, word}, 0);
        return {{"added", true}};
    } catch (const ApiFailure& failure) {
        if (std::string(failure.what()) != "User dictionary not found") throw;
    }
    return {{"added", true},
            {"apiKey", Call(map, data, "create_owned_user_dictionary", {name, word}, 1).front()}};
}

}  // namespace

void V2Words_CH::apply(StringMap& map, InternalData& data) {
    JsonApiAnswer::Run(map, data, [&] {
        const std::string command = map["cmd"];
        const std::string name = Required(map, "username", "username");
        const std::string key = map["apikey"];
        if (command != "v2/words" && !ChangeGuard::Allows(map, !key.empty()))
            throw ApiFailure(ApiFailure::kForbidden, ChangeGuard::kRefused);
        if (command == "v2/words") {
            JsonApiAnswer::Json(map, data, List(map, data, name, key));
        } else if (command == "v2/words/add") {
            JsonApiAnswer::Json(map, data, Add(map, data, name, key));
        } else {
            Call(map, data, "remove_user_dictionary_word",
                 {name, key, Required(map, "word", "word")}, 0);
            JsonApiAnswer::Json(map, data, {{"deleted", true}});
        }
    });
}
