#include "orthd/ValueEscape_FLT.h"

#include <string_view>

#include "utils/TextEscapes.h"

namespace orthd {
namespace {

constexpr char kInternalError[] = "ValueEscaper::apply() - internal error.";

bool AlsoParenthesisEscaped(std::string_view key) {
    return key == "e_command" || key == "schema" || key == "word";
}

}  // namespace

void ValueEscape_FLT::EscapeValues(StringMap& map) {
    for (const char* key : kEscapedKeys) {
        std::string& value = map[key];
        value = HtmlEscape(value);
        if (AlsoParenthesisEscaped(key)) value = ParenthesisEscape(value);
    }
    if (map["problemid"].empty()) map["problemid"] = "0";
}

void ValueEscape_FLT::apply(StringMap& map, InternalData& /*data*/) {
    try {
        EscapeValues(map);
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
