#pragma once
// The owner key of the personal dictionary a browser uses ("udn"). A dictionary the service
// makes for a browser gets an owner; its key lives in the cookie "udk" beside "udn" (HttpOnly),
// which the request side reads into ":udk:". A client that keeps the key itself (a page on
// another site, which never sees the service's cookies) sends it as the parameter "udk".
//
// A change of the dictionary (add, delete, rename) needs the key as that parameter, or a POST
// that ChangeGuard accepts: a link on another site makes the browser send the cookies with a
// plain GET, and must change nothing.
#include <string>

#include "utils/StringMap.h"

class DictionaryKey {
  public:
    static constexpr char kRefused[] =
        "A change of the dictionary needs its key, or a form of this service.";
    // The code of a change the request may not make (DictionaryError, "type" in JSON).
    static constexpr int kRefusedCode = -5;

    // The parameter "udk", else the cookie's key; empty when neither.
    static std::string Of(StringMap& map);
    // Whether this request may change the dictionary.
    static bool MayChange(StringMap& map);
    // `key` goes into the cookie (empty: the cookie goes).
    static void Keep(StringMap& map, const std::string& key);
};
