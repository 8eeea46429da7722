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

}  // namespace

Response_FLT::Response_FLT() : Response_FLT(StandardOutput()) {}

Response_FLT::Response_FLT(std::ostream& out) : out_(out) {}

std::string Response_FLT::BuildAnswer(StringMap& map, InternalData& data) {
    const std::string contentType = data.Find(idkey::ResponseContentType)
                                        ? data.Get<ContentType>(idkey::ResponseContentType).text
                                        : std::string(ctype::kHtml);
    std::string body;
    if (IsText(contentType) && data.GetOr(idkey::ExpandTemplate, true)) {
        MetaHandlerMap handlers(&MetaHandlerMap::MakeEscaping);
        body = RenderTemplate(map[":template:"], handlers, map);
    } else {
        body = map[":template:"];
    }

    std::string out;
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
