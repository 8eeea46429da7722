#pragma once
// The complete content-type text of an answer (e.g. "text/xml; charset=UTF-8"), written unchanged
// into the Content-Type header.
#include <string>

struct ContentType {
    std::string text;
    bool operator==(const ContentType&) const = default;
};
