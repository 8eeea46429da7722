#pragma once
// Chooses the look-and-feel directory from the browser, the schema (skin) within it, and from
// these the template, banner and text directories.
//
// Reads: "schema", "ferrix_url", "orthdname", "lf_mapping", "forced_int_lang", "def_int_lang",
// "schema_url", "schema_vd", "spp_langs", "intlang", "base_dir", ":app_path:", env
// HTTP_USER_AGENT; InternalData SchemaDef (15) and UseFerrixProtocol (18), both required, and
// ViaFerrix (0), optional.
// Writes: ":tmpl_dir:", ":d_tmpl_d:", ":banr_dir:", ":text_dir:", "orthdname", "HTTP_OR_HTTPS",
// "lang" (emptied), "intlang", "def_int_lang", "schema_vd", "schema" (the schema in use).
// Throws PathCntException (a missing required value included).
// A "schema" that is not a safe path component falls back to the default schema.
#include <map>
#include <string>

#include "kernel/Filter.h"

class PathControl_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(PathCntException);

    void apply(StringMap& map, InternalData& data) override;

    // Parses an "lf_mapping" value into `mapping` (later keys replace earlier ones).
    static void ParseLookAndFeelMapping(const std::string& text,
                                        std::map<std::string, std::string>& mapping);
    // The value of the first non-empty key (ascending) found in `browser`, else the "default"
    // value.
    std::string lookAndFeelFor(const std::string& browser);
    // Whether the browser gets the limited (relay-style) pages, from its user agent.
    static bool IsLimitedBrowser(const std::string& userAgent);

  private:
    void applyPaths(StringMap& map, InternalData& data);

    std::map<std::string, std::string> lookAndFeel_;
};
