#pragma once
// Whether a request may change or delete a personal dictionary. A link or a form on another
// site must not be able to: a browser sends the user's cookies with a top-level navigation, so
// a cookie alone proves nothing. A change is allowed when the dictionary's key came as a request
// parameter (a page of another site cannot know it), or when the request is a POST whose
// Origin, if the client sent one, is the service's own ("HTTP_OR_HTTPS://HTTP_HOST") or listed
// by name in "cors_allow_origins" (the entry "*" does not count). Through the relay (which
// always posts, without the browser's Origin) the browser's request must pass the same test
// against the relay's origin (kernel/RelayedRequest.h).
#include "utils/StringMap.h"

class ChangeGuard {
  public:
    static constexpr char kRefused[] =
        "A change of a dictionary needs its key as a parameter, or a POST from an accepted page.";

    static bool Allows(StringMap& map, bool keyAsParameter);
};
