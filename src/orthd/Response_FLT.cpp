#include "orthd/Response_FLT.h"

#include "kernel/ContentType.h"
#include "kernel/ContentTypes.h"
#include "kernel/ResponseOutput.h"
#include "orthd/OutputCodePage.h"
#include "templates/BanSysMetaHandler.h"
#include "templates/CheckSpellingJSONMetaHandler.h"
#include "templates/CheckSpellingXMLMetaHandler.h"
#include "templates/TemplateRendering.h"
#include "utils/InternalDataKeys.h"

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
    return Header("Set-Cookie", name + "=" + value + "; " + expiry);
}

bool Holds(const std::string& value) { return !value.empty() && value != kDeletedMarker; }

std::string DictionaryCookies(StringMap& map) {
    std::string out;
    if (Holds(map["udn"])) {
        out += SetCookie("udn", CookieValue(map["udn"], false), kFutureExpiry);
        out += SetCookie("ud", "", kPastExpiry);
    } else {
        out += SetCookie("udn", "", kPastExpiry);
        if (Holds(map["ud"])) out += SetCookie("ud", CookieValue(map["ud"], true), kFutureExpiry);
    }
    if (Holds(map["cust_dic_ids"]))
        out += SetCookie("cust_dic_ids", CookieValue(map["cust_dic_ids"], false),
                         kDictionaryListExpiry);
    else
        out += SetCookie("cust_dic_ids", "", kPastExpiry);
    out += SetCookie("osp", CookieValue(map["osp"], false), kFutureExpiry);
    return out;
}

// Header lines a command added (cross-origin answers), each cleaned of CR and LF.
std::string ExtraHeaders(const InternalData& data) {
    std::string out;
    for (const std::string& line :
         data.GetOr<std::vector<std::string>>(idkey::HttpExtraHeaders, {}))
        out += HeaderValue(line) + kEol;
    return out;
}

}  // namespace

Response_FLT::Response_FLT() : Response_FLT(StandardOutput(), &CurrentTime) {}

Response_FLT::Response_FLT(std::ostream& out, Clock now) : out_(out), now_(std::move(now)) {}

std::string Response_FLT::Body(StringMap& map, InternalData& data) {
    std::string body;
    if (!data.Find(idkey::ExpandTemplate) || data.Get<bool>(idkey::ExpandTemplate)) {
        MetaHandlerMap handlers;
        handlers.Register("bansys", new BanSysMetaHandler());
        handlers.Register("check_spelling_xml", new CheckSpellingXMLMetaHandler(data));
        handlers.Register("check_spelling_json", new CheckSpellingJSONMetaHandler(data));
        body = RenderTemplate(map[":template:"], handlers, map);
    } else {
        body = map[":template:"];
    }
    if (data.Find(idkey::InputCodePage))
        body = Utf8ToInputCodePage(body, data.Get<short>(idkey::InputCodePage));
    return body;
}

std::string Response_FLT::BuildAnswer(StringMap& map, InternalData& data) const {
    const std::string body = Body(map, data);
    std::string out;
    if (data.Find(idkey::HttpStatus))
        out += Header("Status", HeaderValue(data.Get<std::string>(idkey::HttpStatus)));
    if (map["cmd"] == "check") return out + body;

    const std::string contentType = data.Find(idkey::ResponseContentType)
                                        ? data.Get<ContentType>(idkey::ResponseContentType).text
                                        : ctype::kHtml;
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
