#include "kernel/filters/IniFileLoad_FLT.h"

#include <sys/stat.h>

#include <vector>

#include "kernel/CIniParser.h"
#include "kernel/ServerSettingHandler.h"
#include "utils/InternalDataKeys.h"

namespace {

const char kInternalError[] = "IniFileLoader::apply() - internal error.";

std::shared_ptr<const IniFileLoad_FLT::HandlerMap> HandlersOf(Program program) {
    struct Built {
        unsigned long changes = 0;
        std::shared_ptr<const IniFileLoad_FLT::HandlerMap> handlers;
    };
    static std::map<Program, Built> built;
    Built& of = built[program];
    if (of.handlers && of.changes == ServerSettingHandler::Changes()) return of.handlers;
    auto handlers = std::make_shared<IniFileLoad_FLT::HandlerMap>();
    for (ServerSettingHandler* handler : ServerSettingHandler::Registered(program))
        (*handlers)[handler->name()] = handler;
    of = {ServerSettingHandler::Changes(), std::move(handlers)};
    return of.handlers;
}

}  // namespace

IniFileLoad_FLT::IniFileLoad_FLT(Program program) : handlers_(HandlersOf(program)) {}

void IniFileLoad_FLT::apply(StringMap& map, InternalData& data) {
    try {
        load(map, data);
    } catch (const Filter::exception&) {
        throw;
    } catch (const std::exception& e) {
        VERB_THROW(IniLdrException, kInternalError + std::string(e.what()));
    } catch (...) {
        VERB_THROW(IniLdrException, kInternalError);
    }
}

void IniFileLoad_FLT::load(StringMap& map, InternalData& data) {
    const std::string path = map[":app_path:"] + map[":ini_name:"];

    struct stat status {};
    if (::stat(path.c_str(), &status) == 0)
        data.Set<long long>(idkey::IniFileTime, static_cast<long long>(status.st_mtime));

    data.Set(idkey::IniKeys, std::vector<std::string>{});

    for (const auto& [name, handler] : *handlers_) handler->setDefault(map, data);

    // Kept alive here: a handler may load further files (include_file) meanwhile.
    const auto entries = CIniParser::SharedIniFile(path);
    for (const auto& [key, value] : *entries) {
        const auto handler = handlers_->find(key);
        if (handler != handlers_->end()) {
            handler->second->apply(map, data, value);
        } else {
            map.insert_or_assign(key, value);
            // Looked up each time: a handler may have replaced the list.
            data.Get<std::vector<std::string>>(idkey::IniKeys).push_back(key);
        }
    }
}
