#pragma once
// The content-type texts that templates and error answers use.
#include "kernel/ContentType.h"

namespace ctype {
inline constexpr char kHtml[] = "text/html; charset=UTF-8";
inline constexpr char kXml[] = "text/xml; charset=UTF-8";
inline constexpr char kJavaScript[] = "text/javascript; charset=UTF-8";
inline constexpr char kXsl[] = "text/xsl";
inline constexpr char kCss[] = "text/css";
// The last-resort error answer when no error template fits.
inline constexpr char kPlainText[] = "text/plain; charset=UTF-8";
}  // namespace ctype
