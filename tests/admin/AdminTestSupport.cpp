#include "admin/AdminTestSupport.h"

#include <gtest/gtest.h>

#include "admin/KeyHandle.h"
#include "admin/MetabaseFile.h"

namespace admintest {

using namespace vdirkit;

std::unique_ptr<FileMetabase> MetabaseFixture::Open() const {
    return FileMetabase::Open(file(), apacheDir());
}

MetabaseKey MetabaseFixture::Tree() const {
    MetabaseKey root;
    EXPECT_EQ(MetabaseFile::Parse(dir.Read("metabase.json"), root), 0u);
    return root;
}

void MetabaseFixture::AddSite(int id, const std::string& description,
                              const std::vector<std::string>& bindings) const {
    auto metabase = Open();
    const std::string name = std::to_string(id);
    KeyHandle sites(*metabase, std::string(kSitesPath), MetabaseAccess::ReadWrite, 0);
    ASSERT_EQ(sites.status(), 0u);
    ASSERT_EQ(metabase->AddKey(sites.handle(), name + "/Root"), 0u);
    ASSERT_EQ(metabase->SetData(sites.handle(), name,
                                MetabaseRecord::Text(kPropertyServerComment, 0, 1, description)),
              0u);
    ASSERT_EQ(metabase->SetData(sites.handle(), name,
                                MetabaseRecord::Texts(kPropertyServerBindings, 0, 1, bindings)),
              0u);
}

}  // namespace admintest
