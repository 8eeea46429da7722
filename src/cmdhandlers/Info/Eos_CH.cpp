#include "cmdhandlers/Info/Eos_CH.h"

#include "cmdhandlers/Info/CommandFailure.h"
#include "kernel/CommandRegistry.h"

VERB_REGISTER_COMMAND(Program::Orthd, "eos", Eos_CH);

namespace {

constexpr char kInternalError[] = "Eos_CH::apply() - internal error.";
constexpr char kClose[] = "<script>parent.close();</script>";
constexpr char kKeepOpenNotice[] =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Spell check</title></head>\n"
    "<body><p>Please keep this window open while you use the spell checker; it closes by "
    "itself when you finish.</p></body></html>\n";

}  // namespace

void Eos_CH::apply(StringMap& map, InternalData& /*data*/) {
    info::RunReported({"Eos_CH", kInternalError, __FILE__, __LINE__}, [&] {
        map[":template:"] =
            map["hide"].find("[dc]") == std::string::npos ? kClose : kKeepOpenNotice;
    });
}
