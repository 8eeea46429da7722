#pragma once
// The site selection dialog: a title, a label, a list with one entry preselected, OK and Cancel.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vdirkit {

class SiteChooser {
  public:
    virtual ~SiteChooser() = default;
    // The position chosen with OK, or nothing for Cancel. `entries` is not empty and
    // `preselected` lies inside it.
    virtual std::optional<size_t> Choose(const std::string& title, const std::string& label,
                                         const std::vector<std::string>& entries,
                                         size_t preselected) = 0;
};

}  // namespace vdirkit
