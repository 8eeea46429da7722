#pragma once
// A handler of one item of the "settings" request parameter (e.g. "ferrix"). Static objects that
// add themselves to their program's list on construction, as ServerSettingHandler does.
#include <algorithm>
#include <string>
#include <vector>

#include "kernel/CommandRegistry.h"
#include "utils/InternalData.h"
#include "utils/StringMap.h"

class SettingHandler {
  public:
    explicit SettingHandler(Program program) : program_(program) {
        Registered(program).push_back(this);
    }
    // Leaves the list, so that a handler with a shorter life (a test's) never dangles there.
    virtual ~SettingHandler() {
        auto& list = Registered(program_);
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    SettingHandler(const SettingHandler&) = delete;
    SettingHandler& operator=(const SettingHandler&) = delete;

    virtual void apply(StringMap& map, InternalData& data, const std::string& value) = 0;
    virtual std::string name() const = 0;

    static std::vector<SettingHandler*>& Registered(Program program) {
        static std::vector<SettingHandler*> orthd;
        static std::vector<SettingHandler*> ferrix;
        return program == Program::Orthd ? orthd : ferrix;
    }

  private:
    Program program_;
};
