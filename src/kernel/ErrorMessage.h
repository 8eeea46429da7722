#pragma once
// Error::ErrorMessage: a stage failure with a message. The Pipeline logs it and calls Render,
// which turns the answer into an error answer in the request's format.
//
// Render writes "e_command" (the old "cmd"), "cmd" = "error", "e_message_title" (InternalData
// key 22), "e_is_critical", "e_message" (the message with its placeholders expanded) and
// ":template:" (the error template for the content type of the failed command's answer and
// "run_mode"); it sets ResponseContentType, HttpCacheControl, LoadTemplate = false and
// ExpandTemplate = true. In the script formats the three message values are escaped for a
// double-quoted string literal. When no error template fits, the answer is the message as plain
// text with HttpStatus "500" (never no answer). Render does not throw for missing keys 5 or 22.
//
// Messages that quote request values build them with QuoteRequestValue (kernel/QuotedValue.h).
#include <string>
#include <utility>

#include "utils/ErrorBase.h"
#include "utils/InternalData.h"
#include "utils/StringMap.h"

namespace Error {

class ErrorMessage : public ErrorBase {
  public:
    struct ErrorTemplateAbsent {};

    ErrorMessage(std::string message, std::string file, int line)
        : ErrorBase(std::move(file), line), message_(std::move(message)) {}
    ~ErrorMessage() override = default;

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& message() const noexcept { return message_; }

    // (template, content type) of the general error row for `contentType`.
    // Throws ErrorTemplateAbsent when the table has no such row.
    virtual std::pair<std::string, std::string> FindErrorTemplate(
        const std::string& contentType) const;

    // Fills the error keys, chooses the error template and sets the response's content type.
    virtual void Render(StringMap& map, InternalData& data) const;

  private:
    std::string message_;
};

}  // namespace Error
