#pragma once
// Building messages that quote request values. An error message is expanded as a template and
// lands in XML, HTML and script answers, so a value quoted in it must be neutral there: the
// value is HTML-escaped (no '<', '>', '"', '&' or line breaks survive, hence no "<#...#>"
// placeholder and no markup), e.g.
//   VERB_THROW(PreProcess_FLTException, "Format '" + QuoteRequestValue(format) + "' is not
//   supported.");
#include <string>
#include <string_view>

std::string QuoteRequestValue(std::string_view requestValue);
