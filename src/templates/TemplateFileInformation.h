#pragma once
// A template read from a file, first under ":tmpl_dir:" (the browser's template directory), then
// under ":d_tmpl_d:" (the default one). The file is read only when content() is called; a
// persistent process reads it again only when it changed (FileCache).
//
// content():
//  - throws TemplateNotFound "Internal Error. Template not found." when neither file
//    exists, or when the name holds a NUL byte or a ".." path component (names may carry request
//    values);
//  - when "change_date" (YYYYMMDD) is set and the later of the file's and the INI file's
//    modification dates (InternalData key 10, which must exist then) is earlier, sets
//    HttpStatus (key 4) to "304" and returns an empty template.
// `map` and `data` must outlive the source (both are the request's stores); a source given shared
// RequestStores reads the request they are bound to at the time of the call.
#include <memory>

#include "templates/RequestStores.h"
#include "templates/TemplateInformation.h"

class TemplateFileInformation : public TemplateInformation {
  public:
    TemplateFileInformation(std::string contentType, std::string fileName, StringMap& map,
                            InternalData& data, bool needsIntText)
        : contentType_(std::move(contentType)),
          fileName_(std::move(fileName)),
          own_(map, data),
          needsIntText_(needsIntText) {}
    TemplateFileInformation(std::string contentType, std::string fileName,
                            std::shared_ptr<const RequestStores> stores, bool needsIntText)
        : contentType_(std::move(contentType)),
          fileName_(std::move(fileName)),
          shared_(std::move(stores)),
          needsIntText_(needsIntText) {}

    std::string contentType() const override { return contentType_; }
    std::string content() const override;
    bool needsIntText() const override { return needsIntText_; }

    const std::string& fileName() const { return fileName_; }

    // "YYYYMMDD" of a time in UTC.
    static std::string DateStamp(long long secondsSinceEpoch);

  protected:
    // The path of the file to read, or the empty string when there is none.
    virtual std::string locate() const;
    StringMap& map() const { return stores().map(); }
    InternalData& data() const { return stores().data(); }

  private:
    std::string contentType_;
    std::string fileName_;
    const RequestStores& stores() const { return shared_ ? *shared_ : own_; }

    RequestStores own_;
    std::shared_ptr<const RequestStores> shared_;
    bool needsIntText_;
};
