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
    // Each value is escaped into `spare`, which then takes the old value's buffer for the next
    // key: no allocation for most values.
    std::string spare;
    for (const char* key : kEscapedKeys) {
        const auto entry = map.try_emplace(key).first;
        std::string& value = entry->second;
        // Most keys are absent or empty: nothing to escape, and an empty request text reads the
        // same escaped or not.
        if (value.empty()) continue;
        const bool requestText = record != nullptr && record->IsRequestText(entry->first, value);
        spare.clear();
        AppendHtmlEscaped(spare, value);
        value.swap(spare);
        if (AlsoParenthesisEscaped(key) && value.find_first_of("()%") != std::string::npos)
            value = ParenthesisEscape(value);
        if (requestText) record->NoteHtmlEscaped(entry->first, value);
    }
    std::string& problemId = map["problemid"];
    if (problemId.empty()) problemId = "0";
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
