#pragma once
// Item "ferrix" of the "settings" request parameter (orthd): the relay sends "settings=ferrix".
// Writes InternalData ViaFerrix: true when the item's value is empty or "1", false otherwise.
#include "kernel/SettingHandler.h"

class Ferrix_S : public SettingHandler {
  public:
    explicit Ferrix_S(Program program) : SettingHandler(program) {}

    void apply(StringMap& map, InternalData& data, const std::string& value) override;
    std::string name() const override { return "ferrix"; }
};
