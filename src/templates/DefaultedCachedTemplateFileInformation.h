#pragma once
// A cached service-host file with a built-in text that stands in when the service host cannot
// give one: when reading fails with one of the system's errors (logged as
// "*ERROR* %s file: %s line %d"), when the answer's Cache-Control (key 8) holds "no-cache", or
// when the answer carried a status of its own (key 4). The default text is rendered like any
// template (it sets ExpandTemplate, key 11, and removes key 4); the service's text is not.
#include "templates/CachedTemplateFileInformation.h"

class DefaultedCachedTemplateFileInformation : public CachedTemplateFileInformation {
  public:
    DefaultedCachedTemplateFileInformation(std::string contentType, std::string fileName,
                                           StringMap& map, InternalData& data, Fetch fetch,
                                           std::string defaultText, Clock now = &SystemTime)
        : CachedTemplateFileInformation(std::move(contentType), std::move(fileName), map, data,
                                        std::move(fetch), std::move(now)),
          defaultText_(std::move(defaultText)) {}

    std::string content() const override;

  private:
    std::string defaultText() const;

    std::string defaultText_;
};
