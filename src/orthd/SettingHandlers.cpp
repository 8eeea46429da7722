#include "orthd/SettingHandlers.h"

#include "kernel/ServerRedirectInfo.h"
#include "kernel/settings/AttributesWhiteList_SS.h"
#include "kernel/settings/FerrixProtocol_SS.h"
#include "kernel/settings/Ferrix_S.h"
#include "kernel/settings/HTMLWhiteList_SS.h"
#include "kernel/settings/IncludeFile_SS.h"
#include "kernel/settings/MaxProblems_SS.h"
#include "kernel/settings/MemoryLimit_SS.h"
#include "kernel/settings/OSP_SS.h"
#include "kernel/settings/SaveLangInCookie_SS.h"
#include "kernel/settings/Schema_Def_SS.h"
#include "kernel/settings/SrvRedirect_SS.h"

namespace orthd {

namespace {

// Handler objects live until exit; the registries only refer to them.
struct Handlers {
    Schema_Def_SS schemaDef{Program::Orthd};
    FerrixProtocol_SS ferrixProtocol{Program::Orthd};
    SaveLangInCookie_SS langCookie{Program::Orthd};
    OSP_SS osp{Program::Orthd};
    IncludeFile_SS includeFile{Program::Orthd};
    HTMLWhiteList_SS tagWhiteList{Program::Orthd};
    AttributesWhiteList_SS attributeWhiteList{Program::Orthd};
    SrvRedirect_SS grammarRedirect{Program::Orthd, ServiceKind::Grammar,
                                   ServerRedirectInfo::Process()};
    SrvRedirect_SS spellRedirect{Program::Orthd, ServiceKind::Spell, ServerRedirectInfo::Process()};
    SrvRedirect_SS thesRedirect{Program::Orthd, ServiceKind::Thesaurus,
                                ServerRedirectInfo::Process()};
    Ferrix_S ferrix{Program::Orthd};
    MaxProblems_SS maxProblems{Program::Orthd};
    MemoryLimit_SS memoryLimit{Program::Orthd};
};

}  // namespace

void RegisterSettingHandlers() { static Handlers handlers; }

}  // namespace orthd
