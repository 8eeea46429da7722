#include "ferrix/Response_FLT.h"

#include <cstdlib>
#include <vector>

#include "kernel/ContentType.h"
#include "kernel/ContentTypes.h"
#include "kernel/ResponseOutput.h"
#include "kernel/ScriptAnswer.h"
#include "templates/TemplateRendering.h"
#include "utils/InternalDataKeys.h"
#include "utils/TextEscapes.h"

namespace ferrix {
namespace {

constexpr char kEol[] = "\n";
constexpr char kInternalError[] = "Response::apply() - internal error.";

std::string Header(const std::string& name, const std::string& value) {
    return name + ": " + HeaderValue(value) + kEol;
}

std::string StringOr(const InternalData& data, int key, const char* fallback) {
    return data.Find(key) ? data.Get<std::string>(key) : fallback;
}

// Images and other binary files are written byte for byte: their bytes may look like
// placeholders.
bool IsText(std::string contentType) {
    for (char& c : contentType)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return contentType.rfind("text/", 0) == 0 ||
           contentType.find("javascript") != std::string::npos ||
           contentType.find("json") != std::string::npos ||
           contentType.find("xml") != std::string::npos;
}

// The service's scripts leave the relay's own address in these placeholders; it is the only
// text the relay puts into bytes that come from the service.
constexpr const char* kRelayAddressKeys[] = {"ferrix_url", "service_host"};

std::string FillRelayAddresses(const std::string& text, StringMap& map) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    for (size_t open = text.find(kPlaceholderOpen); open != std::string::npos;
         open = text.find(kPlaceholderOpen, pos)) {
        out.append(text, pos, open - pos);
        pos = open;
        for (const char* key : kRelayAddressKeys) {
            const std::string placeholder = kPlaceholderOpen + std::string(key) + kPlaceholderClose;
            if (text.compare(open, placeholder.size(), placeholder) != 0) continue;
            out += ParenthesisEscape(HtmlEscape(map[key]));
            pos += placeholder.size();
            break;
        }
        if (pos == open) out.append(text, pos++, 1);
    }
    out.append(text, pos);
    return out;
}

// The path of the relay's own address: its pages and error answers are served by the relay
// itself, so they name it by path, never by the request's Host or a "ferrix_url" a visitor sent.
std::string OwnPath(const std::string& requestPath) {
    const size_t scheme = requestPath.find("://");
    if (scheme == std::string::npos) return requestPath;
    const size_t path = requestPath.find('/', scheme + 3);
    return path == std::string::npos ? "/" : requestPath.substr(path);
}

// The relay's own templates (its pages, error answers) are rendered; bytes from the service
// (relayed answers, cached files) never are: they may carry the user's own text, and a
// placeholder there must not bring back the relay's values (cookies, paths). Only the "script"
// files get the relay's address filled in.
std::string Body(StringMap& map, const InternalData& data, const std::string& contentType) {
    const std::string& text = map[":template:"];
    if (!IsText(contentType)) return text;
    if (data.Find(idkey::ExpandTemplate)) {
        if (!data.Get<bool>(idkey::ExpandTemplate)) return text;
        map["ferrix_url"] = OwnPath(map["REQUEST_PATH"]);
        MetaHandlerMap handlers(&MetaHandlerMap::MakeEscaping);
        return RenderTemplate(text, handlers, map);
    }
    return map["cmd"] == "script" ? FillRelayAddresses(text, map) : text;
}

// A script file as the relay serves it (from its cache or the service's 200 answer), not one of
// the relay's own pages or error answers: the browser may keep it and revalidate it by its ETag.
bool IsServedScript(StringMap& map, const InternalData& data) {
    return map["cmd"] == "script" && !data.Find(idkey::HttpStatus) &&
           !data.Find(idkey::ExpandTemplate);
}

std::string RequestHeader(const char* cgiName) {
    const char* value = std::getenv(cgiName);
    return value != nullptr ? value : "";
}

// The tag is taken on the bytes this relay sends (its own address filled in), so two relays of
// one service never share a tag for different bytes. Images are not compressed again. No cookie
// goes with it, as with the service's own script answers: a cache may keep the answer.
std::string ServedScriptAnswer(const std::string& contentType, const std::string& body) {
    const ScriptAnswer script(body, RequestHeader("HTTP_IF_NONE_MATCH"),
                              IsText(contentType) ? RequestHeader("HTTP_ACCEPT_ENCODING") : "");
    std::string out;
    const std::string lines = script.HeaderLines();
    for (size_t start = 0, end; (end = lines.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        out.append(lines, start, end - start) += kEol;
    if (!script.NotModified()) {
        out += Header("Content-Type", contentType);
        out += Header("Content-Length", std::to_string(script.Body().size()));
    }
    return out + kEol + script.Body();
}

}  // namespace

Response_FLT::Response_FLT() : Response_FLT(StandardOutput()) {}

Response_FLT::Response_FLT(std::ostream& out) : out_(out) {}

std::string Response_FLT::BuildAnswer(StringMap& map, InternalData& data) {
    const std::string contentType = data.Find(idkey::ResponseContentType)
                                        ? data.Get<ContentType>(idkey::ResponseContentType).text
                                        : std::string(ctype::kHtml);
    const std::string body = Body(map, data, contentType);
    if (IsServedScript(map, data)) return ServedScriptAnswer(contentType, body);

    std::string out;
    // The service's status (503 when it is overloaded) is the browser's too.
    if (data.Find(idkey::HttpStatus))
        out += Header("Status", data.Get<std::string>(idkey::HttpStatus));
    out += Header("Content-Type", contentType);
    out += Header("Content-Length", std::to_string(body.size()));
    out += Header("Expires", StringOr(data, idkey::HttpExpires, "Tue Jan 1 00:00:00 1980 GMT;"));
    out += Header("Pragma", StringOr(data, idkey::HttpPragma, "No-Cache"));
    out += Header("Cache-Control", StringOr(data, idkey::HttpCacheControl, "No-Cache"));
    if (data.Find(idkey::HttpSetCookies))
        for (const auto& cookie : data.Get<std::vector<std::string>>(idkey::HttpSetCookies))
            out += Header("Set-Cookie", cookie);
    out += kEol;
    return out + body;
}

void Response_FLT::apply(StringMap& map, InternalData& data) {
    const std::string failure = WriteBuiltAnswer(
        out_, [&] { return BuildAnswer(map, data); }, kInternalError, kEol);
    if (!failure.empty()) VERB_THROW(Response_FLTException, failure);
}

}  // namespace ferrix
