#include "orthd/templatemaps/makeKWIRLImagesTemplateMap.h"

#include <exception>

#include "orthd/TemplateInit_FLT.h"
#include "orthd/templatemaps/TemplateSources.h"
#include "utils/logging/Logger.h"

namespace orthd {
namespace {

constexpr char kImageFolder[] = "KWIRL/files/img/";

struct UndefinedFileType : std::exception {
    const char* what() const noexcept override { return "File type undefined."; }
};

// The content type of an image by its extension, exactly as written ("GIF" is not "gif").
std::string ImageContentType(const std::string& extension) {
    if (extension == "gif") return "image/gif";
    if (extension == "jpg") return "image/jpeg";
    throw UndefinedFileType();
}

}  // namespace

TemplateMap makeKWIRLImagesTemplateMap::operator()(StringMap& map, InternalData& data) const {
    TemplateMap variants;
    for (const auto& file : TemplateInit_FLT::listFiles(map[":tmpl_dir:"] + kImageFolder, "*")) {
        const size_t dot = file.rfind('.');
        try {
            const std::string type =
                ImageContentType(dot == std::string::npos ? "" : file.substr(dot + 1));
            variants.set(file.substr(0, dot),
                         FileSource(type, kImageFolder + file, map, data, false));
        } catch (const UndefinedFileType& e) {
            report_error("%s", e.what());
        }
    }
    return variants;
}

}  // namespace orthd
