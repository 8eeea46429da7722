#include "kernel/settings/SrvRedirect_SS.h"

#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"

void SrvRedirect_SS::setDefault(StringMap& /*map*/, InternalData& /*data*/) { table_.Clear(kind_); }

void SrvRedirect_SS::apply(StringMap& /*map*/, InternalData& data, const std::string& value) {
    data.Insert<const ServerRedirectInfo*>(idkey::ServerRedirects, &table_);
    if (!table_.ParseInto(kind_, value))
        GetLogger().Log(loglevel::Warning, 0,
                        "*WARNING* %s: ignored, not of the form names->host:port", name().c_str());
}

std::string SrvRedirect_SS::name() const {
    switch (kind_) {
        case ServiceKind::Grammar:
            return "grammar_redirect";
        case ServiceKind::Spell:
            return "spell_redirect";
        case ServiceKind::Thesaurus:
            return "thes_redirect";
    }
    return {};
}
