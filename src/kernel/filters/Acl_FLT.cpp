#include "kernel/filters/Acl_FLT.h"

#include <optional>

#include "kernel/CIniParser.h"
#include "utils/logging/Logger.h"

namespace {

constexpr char kInternalError[] = "Acl::apply() - internal error.";

std::optional<CIniParser::Entries> LoadAccessList(const std::string& path) {
    try {
        return CIniParser::LoadIniFile(path);
    } catch (const std::exception& e) {
        report_error("*ERROR* Acl_FLT::apply %s", e.what());
        return std::nullopt;
    }
}

}  // namespace

void Acl_FLT::apply(StringMap& map, InternalData& /*data*/) {
    try {
        const auto name = map.find("acl_file_name");
        if (name == map.end() || name->second.empty()) return;
        const auto entries = LoadAccessList(name->second);
        if (!entries) return;
        for (const auto& [key, value] : *entries) map[key] = value;
    } catch (const Filter::exception&) {
        throw;
    } catch (const std::exception& e) {
        VERB_THROW(Acl_FLTException, std::string(kInternalError) + " " + e.what());
    } catch (...) {
        VERB_THROW(Acl_FLTException, kInternalError);
    }
}
