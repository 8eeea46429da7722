#include "orthd/ValueEscape_FLT.h"

#include <string_view>

#include "utils/InternalDataKeys.h"
#include "utils/RequestValueRecord.h"
#include "utils/TextEscapes.h"

namespace orthd {
namespace {

constexpr char kInternalError[] = "ValueEscaper::apply() - internal error.";

bool AlsoParenthesisEscaped(std::string_view key) {
    return key == "e_command" || key == "schema" || key == "word";
}

}  // namespace

void ValueEscape_FLT::EscapeValues(StringMap& map, RequestValueRecord* record) {
    for (const char* key : kEscapedKeys) {
        std::string& value = map[key];
        const bool requestText = record != nullptr && record->OriginOf(key, value);
        value = HtmlEscape(value);
        if (AlsoParenthesisEscaped(key) && value.find_first_of("()%") != std::string::npos)
            value = ParenthesisEscape(value);
        if (requestText) record->NoteHtmlEscaped(key, value);
    }
    if (map["problemid"].empty()) map["problemid"] = "0";
}

void ValueEscape_FLT::apply(StringMap& map, InternalData& data) {
    try {
        EscapeValues(map, data.Find(idkey::RequestValues)
                              ? &data.Get<RequestValueRecord>(idkey::RequestValues)
                              : nullptr);
    } catch (const InternalData::ValueNotFound&) {
    } catch (const InternalData::TypeMismatch&) {
    } catch (const Filter::exception&) {
        throw;
    } catch (const std::exception& e) {
        VERB_THROW(ValueEscape_FLTException, std::string(kInternalError) + e.what());
    } catch (...) {
        VERB_THROW(ValueEscape_FLTException, kInternalError);
    }
}

}  // namespace orthd
