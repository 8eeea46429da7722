#include "orthd/Response_FLT.h"

#include <cstdlib>

#include "kernel/ContentType.h"
#include "kernel/ContentTypes.h"
#include "kernel/ResponseOutput.h"
#include "kernel/ScriptAnswer.h"
#include "kernel/SettingsCookies.h"
#include "orthd/OutputCodePage.h"
#include "templates/BanSysMetaHandler.h"
#include "templates/CheckSpellingJSONMetaHandler.h"
#include "templates/CheckSpellingXMLMetaHandler.h"
#include "templates/RequestValueMetaHandler.h"
#include "templates/TemplateRendering.h"
#include "utils/ContextEscape.h"
#include "utils/InternalDataKeys.h"
#include "utils/RequestValueRecord.h"

namespace orthd {
namespace {

constexpr char kEol[] = "\r\n";
constexpr char kInternalError[] = "Response::apply() - internal error.";
constexpr char kFutureExpiry[] = "expires=Fri Jan 1 00:00:00 2038 GMT;";
constexpr char kDictionaryListExpiry[] = "expires=Tue Jan 1 00:00:00 2038 GMT;";
constexpr char kPastExpiry[] = "expires=Tue Jan 1 00:00:00 1980 GMT;";
constexpr char kDeletedMarker[] = "[/]";

std::string Header(const std::string& name, const std::string& value) {
    return name + ": " + value + kEol;
}

std::string SetCookie(const std::string& name, const std::string& value, const char* expiry) {
    return Header("Set-Cookie",
                  name + "=" + value + "; " + expiry + " " + SettingsCookies::kSameSite);
}

bool Holds(const std::string& value) { return !value.empty() && value != kDeletedMarker; }

// The owner key of the dictionary, kept from page scripts (HttpOnly); without a key (a
// dictionary without owner, or none) the cookie goes.
std::string DictionaryKeyCookie(StringMap& map, bool named) {
    const std::string& key = map[SettingsCookies::kDictionaryKeyValue];
    const bool kept = named && SettingsCookies::IsValidDictionaryKey(key);
    return Header("Set-Cookie", std::string(SettingsCookies::kDictionaryKeyCookie) + "=" +
                                    (kept ? key : std::string()) + "; " +
                                    (kept ? kFutureExpiry : kPastExpiry) + " " +
                                    SettingsCookies::kSameSite + "; HttpOnly");
}

// The user dictionary name and its key, or when there is none the word list kept in the cookie
// "ud".
std::string DictionaryNameCookies(StringMap& map) {
    const std::string& udn = map["udn"];
    if (Holds(udn)) {
        if (!SettingsCookies::IsValidDictionaryName(udn)) return {};
        return SetCookie("udn", SettingsCookies::PercentEncode(udn), kFutureExpiry) +
               DictionaryKeyCookie(map, true) + SetCookie("ud", "", kPastExpiry);
    }
    std::string out = SetCookie("udn", "", kPastExpiry) + DictionaryKeyCookie(map, false);
    const std::string& ud = map["ud"];
    if (Holds(ud) && SettingsCookies::IsValidCookieWordList(ud))
        out += SetCookie("ud", CookieValue(ud, true), kFutureExpiry);
    return out;
}

// Values that break their rule are not written: the browser keeps what it had.
std::string DictionaryCookies(StringMap& map) {
    std::string out = DictionaryNameCookies(map);
    const std::string& ids = map["cust_dic_ids"];
    if (!Holds(ids))
        out += SetCookie("cust_dic_ids", "", kPastExpiry);
    else if (SettingsCookies::IsValidCustomDictionaryIds(ids))
        out += SetCookie("cust_dic_ids", ids, kDictionaryListExpiry);
    if (SettingsCookies::IsValidOsp(map["osp"])) out += SetCookie("osp", map["osp"], kFutureExpiry);
    return out;
}

// Request text goes into the answer escaped for its content type; the "check" answer is a
// header line.
EscapeContext AnswerEscapeContext(StringMap& map, InternalData& data) {
    if (map["cmd"] == "check") return EscapeContext::kHeader;
    return EscapeContextOf(data.Find(idkey::ResponseContentType)
                               ? data.Get<ContentType>(idkey::ResponseContentType).text
                               : std::string(ctype::kHtml));
}

// The "check" answer is its own header block, "Location: ..." and an empty line: whatever its
// values hold, it stays one header line.
std::string RedirectHeaderLine(const std::string& rendered) {
    if (rendered.empty()) return rendered;
    size_t end = rendered.size();
    while (end > 0 && (rendered[end - 1] == '\n' || rendered[end - 1] == '\r')) --end;
    return HeaderValue(std::string_view(rendered).substr(0, end)) + "\n\n";
}

// Header lines a command added (cross-origin answers), each cleaned of CR and LF.
std::string ExtraHeaders(const InternalData& data) {
    std::string out;
    for (const std::string& line :
         data.GetOr<std::vector<std::string>>(idkey::HttpExtraHeaders, {}))
        out += HeaderValue(line) + kEol;
    return out;
}

// A "script" answer with its file: the script handler left Cache-Control empty, and no error
// answer replaced it.
bool IsFoundScript(StringMap& map, const InternalData& data) {
    return map["cmd"] == "script" && !data.Find(idkey::HttpStatus) &&
           data.Find(idkey::HttpCacheControl) &&
           data.Get<std::string>(idkey::HttpCacheControl).empty();
}

std::string RequestHeader(const char* cgiName) {
    const char* value = std::getenv(cgiName);
    return value != nullptr ? value : "";
}

// The browser keeps the file and asks again with its ETag; no settings cookie goes with it
// (a script request changes no setting, and the answer may be kept by a cache).
std::string ScriptAnswerText(const std::string& contentType, const std::string& body,
                             const InternalData& data) {
    const ScriptAnswer script(body, RequestHeader("HTTP_IF_NONE_MATCH"),
                              RequestHeader("HTTP_ACCEPT_ENCODING"));
    std::string out = script.HeaderLines();
    if (!script.NotModified()) {
        out += Header("Content-Type", HeaderValue(contentType));
        out += Header("Content-Length", std::to_string(script.Body().size()));
    }
    out += ExtraHeaders(data);
    out += Header("X-XSS-Protection", "0");
    return out + kEol + script.Body();
}

}  // namespace

Response_FLT::Response_FLT() : Response_FLT(StandardOutput(), &CurrentTime) {}

Response_FLT::Response_FLT(std::ostream& out, Clock now) : out_(out), now_(std::move(now)) {}

std::string Response_FLT::Body(StringMap& map, InternalData& data) {
    std::string body;
    if (!data.Find(idkey::ExpandTemplate) || data.Get<bool>(idkey::ExpandTemplate)) {
        const RequestValueRecord* record = data.Find(idkey::RequestValues)
                                               ? &data.Get<RequestValueRecord>(idkey::RequestValues)
                                               : nullptr;
        const EscapeContext context = AnswerEscapeContext(map, data);
        MetaHandlerMap handlers(
            [record, context] { return new RequestValueMetaHandler(record, context); });
        handlers.Register("bansys", new BanSysMetaHandler());
        handlers.Register("check_spelling_xml", new CheckSpellingXMLMetaHandler(data));
        handlers.Register("check_spelling_json", new CheckSpellingJSONMetaHandler(data));
        body = RenderTemplate(map[":template:"], handlers, map);
    } else {
        body = map[":template:"];
    }
    if (data.Find(idkey::InputCodePage)) {
        const short codePage = data.Get<short>(idkey::InputCodePage);
        body = Utf8ToInputCodePage(RelabelDeclaredCharset(body, InputCodePageCharset(codePage)),
                                   codePage);
    }
    return body;
}

std::string Response_FLT::BuildAnswer(StringMap& map, InternalData& data) const {
    const std::string body = Body(map, data);
    std::string out;
    if (data.Find(idkey::HttpStatus))
        out += Header("Status", HeaderValue(data.Get<std::string>(idkey::HttpStatus)));
    if (map["cmd"] == "check") return out + RedirectHeaderLine(body);

    std::string contentType = data.Find(idkey::ResponseContentType)
                                  ? data.Get<ContentType>(idkey::ResponseContentType).text
                                  : ctype::kHtml;
    if (data.Find(idkey::InputCodePage))
        contentType = RelabelContentType(
            contentType, InputCodePageCharset(data.Get<short>(idkey::InputCodePage)));
    if (IsFoundScript(map, data)) return ScriptAnswerText(contentType, body, data);
    out += Header("Content-Type", HeaderValue(contentType));
    out += Header("Content-Length", std::to_string(body.size()));
    if (data.Find(idkey::HttpCacheControl))
        out += Header("Cache-Control", HeaderValue(data.Get<std::string>(idkey::HttpCacheControl)));
    out += ExtraHeaders(data);
    out += DictionaryCookies(map);
    out += std::string("Cache-Control:private,max-age=0") + kEol;
    out += Header("X-XSS-Protection", "0");
    out += "Expires:" + HttpDate(now_()) + kEol;
    out += kEol;
    return out + body;
}

void Response_FLT::apply(StringMap& map, InternalData& data) {
    const std::string failure = WriteBuiltAnswer(
        out_, [&] { return BuildAnswer(map, data); }, kInternalError, kEol);
    if (!failure.empty()) VERB_THROW(Response_FLTException, failure);
}

}  // namespace orthd
