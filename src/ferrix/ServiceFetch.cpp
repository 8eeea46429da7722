#include "ferrix/ServiceFetch.h"

#include "cmdhandlers/Relay/EFileNotModified.h"
#include "cmdhandlers/Relay/RunRegistered.h"

namespace ferrix {

CachedTemplateFileInformation::FetchResult ServiceFetch(StringMap& map, InternalData& data) {
    try {
        RunRegistered({"alternate", "default"}, map, data);
    } catch (const EFileNotModified&) {
        return CachedTemplateFileInformation::FetchResult::NotModified;
    }
    return CachedTemplateFileInformation::FetchResult::Answered;
}

}  // namespace ferrix
