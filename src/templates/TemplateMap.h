#pragma once
// The command template map (InternalData key 5): command or selector value -> template source.
// Looking up a missing name throws TemplateInformationAbsent; using an empty entry throws
// wrapper<TemplateInformation>::ENullPointer.
#include <exception>

#include "templates/Explicit.h"
#include "templates/TemplateInformation.h"
#include "templates/Wrapper.h"

struct TemplateInformationAbsent : std::exception {
    const char* what() const noexcept override { return "Template information is not found"; }
};

using TemplateInformationRef = wrapper<TemplateInformation>;
using TemplateMap = Explicit<TemplateInformationRef, TemplateInformationAbsent>;
