#include "kernel/filters/Settings_FLT.h"

#include "kernel/SettingHandler.h"

namespace {
constexpr char kInternalError[] = "Settings::apply() - internal error.";
}

std::map<std::string, std::string> Settings_FLT::ParseItems(std::string_view settings) {
    std::map<std::string, std::string> items;
    size_t start = 0;
    while (start <= settings.size()) {
        size_t end = settings.find(';', start);
        if (end == std::string_view::npos) end = settings.size();
        const std::string_view item = settings.substr(start, end - start);
        if (!item.empty()) {
            const size_t equals = item.find('=');
            std::string name(item.substr(0, equals));
            std::string value =
                equals == std::string_view::npos ? "" : std::string(item.substr(equals + 1));
            items.emplace(std::move(name), std::move(value));
        }
        start = end + 1;
    }
    return items;
}

void Settings_FLT::applyHandlers(StringMap& map, InternalData& data) {
    const auto items = ParseItems(map["settings"]);
    for (SettingHandler* handler : SettingHandler::Registered(program_)) {
        auto item = items.find(handler->name());
        if (item != items.end()) handler->apply(map, data, item->second);
    }
}

void Settings_FLT::apply(StringMap& map, InternalData& data) {
    try {
        applyHandlers(map, data);
    } catch (const Filter::exception&) {
        throw;
    } catch (const std::exception& e) {
        VERB_THROW(Exception, std::string(kInternalError) + " " + e.what());
    } catch (...) {
        VERB_THROW(Exception, kInternalError);
    }
}
