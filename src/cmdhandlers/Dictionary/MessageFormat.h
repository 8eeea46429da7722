#pragma once
// Filling the interface texts of the dictionary actions. The texts come from files a deployment
// edits, so their specifiers are not trusted to match the arguments.
#include <string>
#include <string_view>
#include <vector>

// `format` with each "%s" and "%d" replaced by the next of `arguments`, in order (an argument
// that is not there reads as empty); any other '%' sequence, "%%" included, is copied as
// written.
std::string FormatMessage(std::string_view format, const std::vector<std::string>& arguments);
