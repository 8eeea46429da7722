#include "kernel/RequestDriver.h"

#include "kernel/ModulePath.h"
#include "kernel/TimeGuard.h"
#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"

void SeedRequest(const ProgramInfo& info, const std::string& appPath, const std::string& cmdLine,
                 StringMap& map, InternalData& data) {
    map[":app_path:"] = appPath;
    map[":ini_name:"] = info.iniName;
    map[":app_name:"] = info.appName;
    map[":app_platform:"] = release::kPlatform;
    map[":app__ver:"] = info.version;
    map[":cmd_line:"] = cmdLine;
    map["product_copyright"] = release::kCopyright;
    map["product_website"] = release::kWebsite;
    map["product_url"] = release::kUrl;
    data.Insert<std::string>(idkey::ServerName, info.serverName);
}

void RunRequest(const ProgramInfo& info, const char* cmdLine, int watchdogLimitMs) {
    TimeGuard guard(watchdogLimitMs);
    guard.Start();
    {
        StringMap map;
        InternalData data;
        Pipeline pipeline(info.program, info.buildFilters);
        SeedRequest(info, ModuleDirectory(), cmdLine ? cmdLine : "", map, data);
        pipeline.apply(map, data);
    }
    guard.Stop();
}

int ProgramMain(const ProgramInfo& info, int argc, char** argv) {
    GetLogger().Init(DebugLogPath(ModuleDirectory()));
    RunRequest(info, argc >= 2 ? argv[1] : "", TimeGuard::kWatchdogLimitMs);
    return 0;
}
