#include "templates/DefMetaHandler.h"

std::string DefMetaHandler::render(const Arguments& args, StringMap& map) {
    if (args.empty()) return {};
    return map[args.front()];
}
