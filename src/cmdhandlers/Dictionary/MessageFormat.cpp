#include "cmdhandlers/Dictionary/MessageFormat.h"

std::string FormatMessage(std::string_view format, const std::vector<std::string>& arguments) {
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        const char following = i + 1 < format.size() ? format[i + 1] : '\0';
        if (format[i] != '%' || (following != 's' && following != 'd')) {
            out += format[i];
            // "%%" stays as written, and its second '%' starts nothing.
            if (format[i] == '%' && following == '%') out += format[++i];
            continue;
        }
        if (next < arguments.size()) out += arguments[next];
        ++next;
        ++i;
    }
    return out;
}
