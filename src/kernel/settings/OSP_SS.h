#pragma once
// INI key "osp" (orthd): copied to the string-map "osp" only when the request left it empty, so
// a request parameter "osp" wins over the configured one.
#include "kernel/ServerSettingHandler.h"

class OSP_SS : public ServerSettingHandler {
  public:
    explicit OSP_SS(Program program) : ServerSettingHandler(program) {}

    void apply(StringMap& map, InternalData& data, const std::string& value) override;
    std::string name() const override { return "osp"; }
};
