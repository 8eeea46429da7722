#include "orthd/OrthdProgram.h"

#include "kernel/filters/Acl_FLT.h"
#include "kernel/filters/EnvVarLoad_FLT.h"
#include "kernel/filters/IniFileLoad_FLT.h"
#include "kernel/filters/IntTextLoad_FLT.h"
#include "kernel/filters/LogWrite_FLT.h"
#include "kernel/filters/PathControl_FLT.h"
#include "kernel/filters/PostProcessSettings_FLT.h"
#include "kernel/filters/Request_FLT.h"
#include "kernel/filters/SessionCount_FLT.h"
#include "kernel/filters/Settings_FLT.h"
#include "kernel/filters/TemplateLoad_FLT.h"
#include "orthd/PreProcess_FLT.h"
#include "orthd/Response_FLT.h"
#include "orthd/SettingHandlers.h"
#include "orthd/TemplateInit_FLT.h"
#include "orthd/ValueEscape_FLT.h"

namespace orthd {

void BuildFilters(Pipeline::FilterList& before, Pipeline::FilterList& after) {
    RegisterSettingHandlers();
    before.emplace_back(new TemplateInit_FLT());
    before.emplace_back(new EnvVarLoad_FLT());
    before.emplace_back(new Request_FLT());
    before.emplace_back(new IniFileLoad_FLT(Program::Orthd));
    before.emplace_back(new Acl_FLT());
    before.emplace_back(new Settings_FLT(Program::Orthd));
    before.emplace_back(new SessionCount_FLT());
    before.emplace_back(new PathControl_FLT());
    before.emplace_back(new PostProcessSettings_FLT());
    before.emplace_back(new IntTextLoad_FLT());
    before.emplace_back(new PreProcess_FLT());

    after.emplace_back(new TemplateLoad_FLT());
    after.emplace_back(new LogWrite_FLT());
    after.emplace_back(new ValueEscape_FLT());
    after.emplace_back(new Response_FLT());
}

const ProgramInfo& Info() {
    static const ProgramInfo info{
        Program::Orthd,
        "orthd.ini",
        "orthd",
        std::string(release::kEdition) + ".3.7.1.3.1678 (revision 1678)",
        std::string(release::kProductName) + " server",
        &BuildFilters,
    };
    return info;
}

}  // namespace orthd
