#pragma once
// Applies the program's INI file (":app_path:" + ":ini_name:") on every request.
//
// Reads: ":app_path:", ":ini_name:".
// Writes: InternalData IniFileTime (long long, the file's modification time in seconds since
// 1970, only when the file's status can be read) and IniKeys (std::vector<std::string>, always,
// the keys stored as plain strings in the order stored); every handled key through its
// ServerSettingHandler; every other key as a plain string-map value, replacing a request
// parameter of the same name.
// Order: every handler's setDefault runs (by ascending key) before the file is opened, so the
// defaults stand even when loading fails; then the pairs are dispatched in ascending byte order
// of keys, so a handler that loads further values (include_file) is overridden by the main file's
// keys that sort after it.
// Throws IniLdrException ("IniFileLoader::apply() - internal error." + cause) when the file
// cannot be read or a handler fails with anything but a filter exception; filter exceptions of
// handlers pass through unchanged. Values stored before a failure stay.
// Runs after Request_FLT, so request parameters are in the map already.
#include <map>
#include <memory>
#include <string>

#include "kernel/CommandRegistry.h"
#include "kernel/Filter.h"

class ServerSettingHandler;

class IniFileLoad_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(IniLdrException);

    using HandlerMap = std::map<std::string, ServerSettingHandler*, std::less<>>;

    // Takes the handlers registered for `program` at this point; they must outlive the filter
    // (they are static objects). Their map is built once per process, again only when a handler
    // came or went.
    explicit IniFileLoad_FLT(Program program);

    void apply(StringMap& map, InternalData& data) override;

  private:
    void load(StringMap& map, InternalData& data);

    std::shared_ptr<const HandlerMap> handlers_;
};
