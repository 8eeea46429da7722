#pragma once
// A metabase file in a temporary folder for the administration library's tests, with the Apache
// include files beside it.
#include <memory>
#include <string>

#include "admin/FileMetabase.h"
#include "admin/MetabaseKey.h"
#include "support/TestSupport.h"

namespace admintest {

class MetabaseFixture {
  public:
    std::string file() const { return dir.str() + "metabase.json"; }
    std::string apacheDir() const { return dir.str() + "apache"; }
    std::unique_ptr<vdirkit::FileMetabase> Open() const;
    // The parsed file; fails the test when it does not parse.
    vdirkit::MetabaseKey Tree() const;
    // Adds site `id` with a description and bindings, and its Root key.
    void AddSite(int id, const std::string& description,
                 const std::vector<std::string>& bindings) const;

    testsupport::TempDir dir;
};

}  // namespace admintest
