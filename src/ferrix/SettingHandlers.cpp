#include "ferrix/SettingHandlers.h"

#include "kernel/settings/CacheDirName_SS.h"
#include "kernel/settings/CachePath_SS.h"
#include "kernel/settings/MemoryLimit_SS.h"
#include "kernel/settings/NoCache_SS.h"
#include "kernel/settings/SaveLangInCookie_SS.h"
#include "kernel/settings/ServiceHost_SS.h"

namespace ferrix {

namespace {

// Handler objects live until exit; the registry only refers to them.
struct Handlers {
    ServiceHost_SS serviceHost{Program::Ferrix};
    CacheDirName_SS cacheDirName{Program::Ferrix};
    CachePath_SS cachePath{Program::Ferrix};
    NoCache_SS noCache{Program::Ferrix};
    SaveLangInCookie_SS langCookie{Program::Ferrix};
    MemoryLimit_SS memoryLimit{Program::Ferrix};
};

}  // namespace

void RegisterSettingHandlers() { static Handlers handlers; }

}  // namespace ferrix
