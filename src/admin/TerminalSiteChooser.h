#pragma once
// The selection dialog on the controlling terminal (/dev/tty): the numbered list with the current
// entry marked, keys as SiteSelection reads them. Without a terminal it answers Cancel.
#include "admin/SiteChooser.h"

namespace vdirkit {

class TerminalSiteChooser final : public SiteChooser {
  public:
    std::optional<size_t> Choose(const std::string& title, const std::string& label,
                                 const std::vector<std::string>& entries,
                                 size_t preselected) override;

    // The dialog on an already opened terminal (or a pseudo-terminal in tests).
    static std::optional<size_t> ChooseOn(int terminal, const std::string& title,
                                          const std::string& label,
                                          const std::vector<std::string>& entries,
                                          size_t preselected);
};

}  // namespace vdirkit
