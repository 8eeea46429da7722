#include "cmdhandlers/JsonApi/V2Languages_CH.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "cmdhandlers/JsonApi/ApiEngineCall.h"
#include "cmdhandlers/JsonApi/JsonApiAnswer.h"
#include "cmdhandlers/JsonApi/LanguageNames.h"
#include "kernel/CommandRegistry.h"

VERB_REGISTER_COMMAND(Program::Orthd, "v2/languages", V2Languages_CH);

void V2Languages_CH::apply(StringMap& map, InternalData& data) {
    JsonApiAnswer::Run(map, data, [&] {
        const std::string codes =
            ApiEngineCall::Call(map, data, "", "list_languages", {}, 1).front();
        nlohmann::json list = nlohmann::json::array();
        size_t start = 0;
        while (start < codes.size()) {
            const size_t end = std::min(codes.find(',', start), codes.size());
            const std::string code = codes.substr(start, end - start);
            start = end + 1;
            if (code.empty()) continue;
            list.push_back({{"name", LanguageNames::Name(code)},
                            {"code", code.substr(0, code.find('_'))},
                            {"longCode", LanguageNames::ApiCode(code)}});
        }
        JsonApiAnswer::Json(map, data, list);
    });
}
