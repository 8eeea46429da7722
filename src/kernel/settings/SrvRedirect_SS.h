#pragma once
// INI keys "grammar_redirect", "spell_redirect", "thes_redirect" (orthd): one handler per
// service kind, all filling the same ServerRedirectInfo (ServerRedirectInfo::ParseInto).
// apply stores InternalData ServerRedirects (a pointer to that table) if absent, then records
// the value's entries; a malformed value records nothing and leaves a warning in the log.
// setDefault forgets the kind's earlier entries, so a process that serves several requests
// (tests, fuzzing) starts each from the file alone.
#include "kernel/ServerRedirectInfo.h"
#include "kernel/ServerSettingHandler.h"

class SrvRedirect_SS : public ServerSettingHandler {
  public:
    // `table` must outlive the handler; the programs pass ServerRedirectInfo::Process().
    SrvRedirect_SS(Program program, ServiceKind kind, ServerRedirectInfo& table)
        : ServerSettingHandler(program), kind_(kind), table_(table) {}

    void setDefault(StringMap& map, InternalData& data) override;
    void apply(StringMap& map, InternalData& data, const std::string& value) override;
    std::string name() const override;

  private:
    ServiceKind kind_;
    ServerRedirectInfo& table_;
};
