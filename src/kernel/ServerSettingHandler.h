#pragma once
// A handler of one INI key. Handlers are static objects that add themselves to their program's
// list on construction and live until exit; IniFileLoad_FLT calls setDefault on every handler
// before the file is read, then apply with the value of each key that has a handler.
#include <algorithm>
#include <string>
#include <vector>

#include "kernel/CommandRegistry.h"
#include "utils/InternalData.h"
#include "utils/StringMap.h"

class ServerSettingHandler {
  public:
    explicit ServerSettingHandler(Program program) : program_(program) {
        Registered(program).push_back(this);
        ++Changes();
    }
    // Leaves the list, so that a handler with a shorter life (a test's) never dangles there.
    virtual ~ServerSettingHandler() {
        auto& list = Registered(program_);
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        ++Changes();
    }
    ServerSettingHandler(const ServerSettingHandler&) = delete;
    ServerSettingHandler& operator=(const ServerSettingHandler&) = delete;

    virtual void setDefault(StringMap& /*map*/, InternalData& /*data*/) {}
    virtual void apply(StringMap& map, InternalData& data, const std::string& value) = 0;
    // The INI key served, compared case-sensitively.
    virtual std::string name() const = 0;

    // The handlers of `program`, in construction order.
    static std::vector<ServerSettingHandler*>& Registered(Program program) {
        static std::vector<ServerSettingHandler*> orthd;
        static std::vector<ServerSettingHandler*> ferrix;
        return program == Program::Orthd ? orthd : ferrix;
    }
    // Counts the handlers that came or went, so that what is built from the lists can tell
    // whether it still holds.
    static unsigned long& Changes() {
        static unsigned long changes = 0;
        return changes;
    }

  private:
    Program program_;
};
