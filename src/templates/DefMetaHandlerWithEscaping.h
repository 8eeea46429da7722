#pragma once
// The relay's default resolver: the string-map value, HTML-escaped and then parenthesis-escaped.
// The escaped text is stored back into the entry, so a second placeholder of the same name in
// one template renders the value escaped twice (relied on by the relay's templates as they are).
#include "templates/DefMetaHandler.h"

class DefMetaHandlerWithEscaping : public DefMetaHandler {
  public:
    std::string render(const Arguments& args, StringMap& map) override;
};
