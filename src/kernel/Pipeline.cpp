#include "kernel/Pipeline.h"

#include "utils/TextEscapes.h"
#include "utils/logging/Logger.h"

namespace {

void LogError(const Error::ErrorMessage& e) {
    report_error("*ERROR* %s file: %s line %d", e.what(), e.file().c_str(), e.line());
}

std::string AsciiLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace

Pipeline::Pipeline(Program program, const Builder& build) : program_(program) {
    try {
        build(before_, after_);
    } catch (const Filter::exception& e) {
        LogError(e);
    } catch (...) {
        report_error("*ERROR* Pipeline creation error");
    }
}

void Pipeline::runHandler(StringMap& map, InternalData& data) {
    const auto factory = CommandRegistry::Of(program_).Resolve(AsciiLower(map["cmd"]));
    if (factory == nullptr) return;
    try {
        CommandHandlerRef handler(factory());
        handler->apply(map, data);
    } catch (const Error::ErrorMessage& e) {
        LogError(e);
        if (map["format"] == "json")
            map["view"] = "\"" + map["view"] + "\"";
        else
            map["view"] += map["text"];
        map["view"] = e.message() + "<br/><br/>" + HtmlEscape(map["view"]);
        throw;
    } catch (...) {
        report_error("*ERROR* Command handler execution error.");
    }
}

void Pipeline::apply(StringMap& map, InternalData& data) {
    try {
        for (const auto& filter : before_) filter->apply(map, data);
        runHandler(map, data);
    } catch (const Error::ErrorMessage& e) {
        LogError(e);
        try {
            e.Render(map, data);
        } catch (...) {
            report_error("*ERROR* Pipeline execution error");
        }
    } catch (...) {
        report_error("*ERROR* Pipeline execution error");
    }
    runAfter(map, data);
}

void Pipeline::runAfter(StringMap& map, InternalData& data) {
    try {
        for (const auto& filter : after_) filter->apply(map, data);
    } catch (const Error::ErrorMessage& e) {
        try {
            e.Render(map, data);
        } catch (...) {
            report_error("*ERROR* Pipeline execution error");
        }
        LogError(e);
    } catch (...) {
        report_error("*ERROR* Pipeline execution error");
    }
}
