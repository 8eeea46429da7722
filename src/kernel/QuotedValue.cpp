#include "kernel/QuotedValue.h"

#include "utils/TextEscapes.h"

std::string QuoteRequestValue(std::string_view requestValue) { return HtmlEscape(requestValue); }
