#pragma once
// The well-known InternalData keys. The numbers are part of the pipeline's interface.

namespace idkey {
inline constexpr int ViaFerrix = 0;                  // bool
inline constexpr int SpellLang = 1;                  // std::string
inline constexpr int LoadTemplate = 2;               // bool, absent = true
inline constexpr int ResponseContentType = 3;        // ContentType
inline constexpr int HttpStatus = 4;                 // std::string
inline constexpr int TemplateMap = 5;                // map command -> template information
inline constexpr int HttpExpires = 6;                // std::string
inline constexpr int HttpPragma = 7;                 // std::string
inline constexpr int HttpCacheControl = 8;           // std::string
inline constexpr int HttpSetCookies = 9;             // std::vector<std::string>
inline constexpr int IniFileTime = 10;               // long long
inline constexpr int ExpandTemplate = 11;            // bool, absent = true
inline constexpr int ServiceScheme = 12;             // std::string
inline constexpr int ServiceHost = 13;               // std::string
inline constexpr int ServicePath = 14;               // std::string
inline constexpr int SchemaDef = 15;                 // std::string
inline constexpr int CacheDirName = 16;              // std::string
inline constexpr int CachePath = 17;                 // std::string
inline constexpr int UseFerrixProtocol = 18;         // bool
inline constexpr int IniKeys = 19;                   // std::vector<std::string>
inline constexpr int NoCache = 20;                   // bool
inline constexpr int LangInCookie = 21;              // bool
inline constexpr int ServerName = 22;                // std::string
inline constexpr int HttpAccept = 23;                // std::string
inline constexpr int CheckSpellingSuggestions = 24;  // map word -> list of suggestions
inline constexpr int CheckSpellingPositions = 25;    // list of (word, (int, int))
inline constexpr int ServerRedirects = 26;           // const ServerRedirectInfo* (not owned)
inline constexpr int InputCodePage = 27;             // short
inline constexpr int TagWhiteList = 28;              // TagWhiteList
inline constexpr int AttributeWhiteList = 29;        // AttributeWhiteList
inline constexpr int FilteringParams = 30;           // FilteringParams
inline constexpr int RequestValues = 40;     // RequestValueRecord: request text in the string map
inline constexpr int HttpExtraHeaders = 31;  // std::vector<std::string>, "Name: value"
// std::string: "text" as the request gave it, when the no-break spaces in it were replaced
inline constexpr int TextAsSent = 41;
// std::string: the HTTP status ("413 Payload Too Large") of a JSON API failure answer
inline constexpr int ApiStatus = 42;
// ChangedText: the text model a correction left, for the check command it continues with
inline constexpr int ChangedText = 43;
}  // namespace idkey
