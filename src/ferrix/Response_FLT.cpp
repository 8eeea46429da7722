#include "ferrix/Response_FLT.h"

#include <vector>

#include "kernel/ContentType.h"
#include "kernel/ContentTypes.h"
#include "kernel/ResponseOutput.h"
#include "templates/TemplateRendering.h"
#include "utils/InternalDataKeys.h"

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

}  // namespace

Response_FLT::Response_FLT() : Response_FLT(StandardOutput()) {}

Response_FLT::Response_FLT(std::ostream& out) : out_(out) {}

std::string Response_FLT::BuildAnswer(StringMap& map, InternalData& data) {
    MetaHandlerMap handlers(&MetaHandlerMap::MakeEscaping);
    const std::string body = RenderTemplate(map[":template:"], handlers, map);

    std::string out;
    out += Header("Content-Type", data.Find(idkey::ResponseContentType)
                                      ? data.Get<ContentType>(idkey::ResponseContentType).text
                                      : std::string(ctype::kHtml));
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
