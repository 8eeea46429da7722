#pragma once
// First stage after the command: puts the command's template text into ":template:" and its
// content type into ResponseContentType (3), for the response stage to render.
//
// Reads: "cmd"; InternalData LoadTemplate (2, absent = true) and TemplateMap (5); whatever the
// chosen source reads (":tmpl_dir:", ":d_tmpl_d:", selector values, "change_date").
// Writes: ":template:", ResponseContentType; the source may set HttpStatus (304).
// "check" answers a redirect built from "trg_url", "check" and "frameid"; "status" the value of
// "status"; "eos" keeps the template its handler set. An XML answer loses every CR and LF.
//
// Failures are logged and rendered as the error answer here, and the stage ends normally, so
// that the remaining stages still write the answer:
//  - a command or selector value without a template: Error::CriticalErrorMessage "Template
//    information is not found";
//  - a missing template file (TemplateNotFound): Error::CriticalErrorMessage with its message,
//    module and line;
//  - an error message raised while loading (a bad plugin name) as it is;
//  - anything else: TLoadException "TemplateLoader::apply() - internal error." ...
// Does not throw unless rendering the error answer itself fails.
#include "kernel/Filter.h"

class TemplateLoad_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(TLoadException);

    void apply(StringMap& map, InternalData& data) override;

  private:
    void load(StringMap& map, InternalData& data);
};
