#include "cmdhandlers/Info/Navbar_CH.h"

#include <array>
#include <cstdlib>

#include "cmdhandlers/Info/CommandFailure.h"
#include "cmdhandlers/Info/LanguageList.h"
#include "kernel/CommandRegistry.h"

VERB_REGISTER_COMMAND(Program::Orthd, "navbar", Navbar_CH);

namespace {

constexpr char kInternalError[] = "NavbarCommandHandler::apply() - internal error.";

struct Tab {
    const char* name;      // the value of "word" that makes it active
    const char* key;       // "nb_..." link value
    const char* imageKey;  // "img..." image name
    const char* inactive;
    const char* active;
};

constexpr std::array<Tab, 4> kTabs = {{
    {"spell", "nb_spell", "imgsp", "tab_sp_ia", "tab_sp_a"},
    {"grammar", "nb_grammar", "imggr", "tab_gr_ia", "tab_gr_a"},
    {"thes", "nb_thes", "imgth", "tab_th_ia", "tab_th_a"},
    {"ants", "nb_ants", "imgant", "tab_ant_ia", "tab_ant_a"},
}};

bool ExtraTabsAvailable(StringMap& map) {
    const std::string list = map["langs_list"];
    const std::string intlang = map["intlang"];
    const std::string named = intlang.empty() ? std::string() : map[intlang];
    return info::OccursBetween(list, intlang, "superset", "usual") ||
           info::OccursBetween(list, named, "superset", "usual");
}

void ShowAllTabs(StringMap& map, const std::string& word) {
    const Tab* activeTab = nullptr;
    for (const Tab& tab : kTabs)
        if (word == tab.name) activeTab = &tab;
    if (!activeTab)
        throw CommandHandler::exception(
            "Invalid wordparameter. Possible values: spell,grammar,thes,ants", ModuleOf(__FILE__),
            __LINE__);
    for (const Tab& tab : kTabs) {
        const bool active = &tab == activeTab;
        map[tab.key] = active ? "" : tab.name;
        map[tab.imageKey] = active ? tab.active : tab.inactive;
    }
}

void ShowSpellingTabOnly(StringMap& map) {
    map["nb_spell"] = "spell";
    map["nb_grammar"] = "";
    map["nb_thes"] = "";
    map["nb_ants"] = "";
    map["imgsp"] = "tab_sp_a";
    map["imggr"] = "tab_gr_e";
    map["imgth"] = "tab_th_e";
    map["imgant"] = "tab_th_e";
}

}  // namespace

void Navbar_CH::apply(StringMap& map, InternalData& /*data*/) {
    info::RunReported({"Navbar_CH", kInternalError, __FILE__, __LINE__, true}, [&] {
        const bool banner = std::atol(map["bnr"].c_str()) != 0;
        map["bansys_h"] = banner ? "60" : "0";
        map["bansys_s"] = banner ? "&nbsp;" : "";
        if (ExtraTabsAvailable(map))
            ShowAllTabs(map, map["word"]);
        else
            ShowSpellingTabOnly(map);
    });
}
