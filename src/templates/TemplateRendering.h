#pragma once
// The rendering step the answers share: parse a template text with "<#" and "#>" and render it.
// Both throw PageTemplate<std::string>::exception on malformed text or a failing resolver.
#include <string>
#include <string_view>

#include "templates/MetaHandlerMap.h"
#include "templates/PageTemplate.h"

inline constexpr char kPlaceholderOpen[] = "<#";
inline constexpr char kPlaceholderClose[] = "#>";

using BytePageTemplate = PageTemplate<std::string>;

std::string RenderTemplate(const std::string& text, MetaHandlerMap& handlers, StringMap& map);

// Renders with default resolvers only (string-map values, unescaped).
std::string ExpandPlaceholders(const std::string& text, StringMap& map);
