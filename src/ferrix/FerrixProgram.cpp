#include "ferrix/FerrixProgram.h"

#include "ferrix/Response_FLT.h"
#include "ferrix/SettingHandlers.h"
#include "ferrix/TemplateInit_FLT.h"
#include "kernel/filters/EnvVarLoad_FLT.h"
#include "kernel/filters/IniFileLoad_FLT.h"
#include "kernel/filters/Request_FLT.h"
#include "kernel/filters/TemplateLoad_FLT.h"

namespace ferrix {

void BuildFilters(Pipeline::FilterList& before, Pipeline::FilterList& after) {
    RegisterSettingHandlers();
    before.emplace_back(new TemplateInit_FLT());
    before.emplace_back(new EnvVarLoad_FLT());
    before.emplace_back(new Request_FLT());
    before.emplace_back(new IniFileLoad_FLT(Program::Ferrix));

    after.emplace_back(new TemplateLoad_FLT());
    after.emplace_back(new Response_FLT());
}

const ProgramInfo& Info() {
    static const ProgramInfo info{
        Program::Ferrix,
        "ferrix.ini",
        "ferrix",
        "VERSION (revision 1678)",
        std::string(release::kProductName) + " proxy",
        &BuildFilters,
    };
    return info;
}

}  // namespace ferrix
