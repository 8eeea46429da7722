#include "admin/TerminalSiteChooser.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "admin/SiteSelection.h"
#include "admin/TextChecks.h"

namespace vdirkit {
namespace {

// Non-canonical, unechoed input for the life of the object; the old settings come back even when
// the dialog ends early.
class RawMode {
  public:
    explicit RawMode(int fd) : fd_(fd) {
        if (tcgetattr(fd_, &saved_) != 0) return;
        termios raw = saved_;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        raw.c_iflag &= static_cast<tcflag_t>(~ICRNL);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        active_ = tcsetattr(fd_, TCSAFLUSH, &raw) == 0;
    }
    ~RawMode() {
        if (active_) tcsetattr(fd_, TCSAFLUSH, &saved_);
    }
    RawMode(const RawMode&) = delete;
    RawMode& operator=(const RawMode&) = delete;

  private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

// Closes a descriptor this module opened.
class OwnedFd {
  public:
    explicit OwnedFd(int fd) : fd_(fd) {}
    ~OwnedFd() {
        if (fd_ >= 0) close(fd_);
    }
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

void Put(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        text.remove_prefix(static_cast<size_t>(n));
    }
}

bool ByteWaiting(int fd, int waitMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, waitMs) > 0;
}

// A dialog label marks its access key with '&' ("&&" is a literal '&'); a terminal has none.
std::string WithoutAccessKey(std::string_view label) {
    std::string out;
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size()) ++i;
        out += label[i];
    }
    return out;
}

void ShowCurrent(int fd, const std::vector<std::string>& entries, size_t position) {
    Put(fd, "\r\x1b[K> " + std::to_string(position + 1) + " " +
                WithoutControlCharacters(entries[position]));
}

}  // namespace

std::optional<size_t> TerminalSiteChooser::Choose(const std::string& title,
                                                  const std::string& label,
                                                  const std::vector<std::string>& entries,
                                                  size_t preselected) {
    const OwnedFd terminal(open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (terminal.get() < 0) return std::nullopt;
    return ChooseOn(terminal.get(), title, label, entries, preselected);
}

std::optional<size_t> TerminalSiteChooser::ChooseOn(int terminal, const std::string& title,
                                                    const std::string& label,
                                                    const std::vector<std::string>& entries,
                                                    size_t preselected) {
    if (entries.empty() || preselected >= entries.size()) return std::nullopt;
    // Output processing stays on, so the terminal turns each "\n" into CR LF.
    std::string text = title + "\n" + WithoutAccessKey(label) + ":\n";
    for (size_t i = 0; i < entries.size(); ++i)
        text += "  " + std::to_string(i + 1) + " " + WithoutControlCharacters(entries[i]) + "\n";
    text += "(number or arrow keys to choose, Enter = OK, Escape or q = Cancel)\n";
    Put(terminal, text);
    const RawMode raw(terminal);
    SiteSelection selection(entries.size(), preselected);
    ShowCurrent(terminal, entries, selection.position());
    for (;;) {
        char byte = 0;
        const ssize_t n = read(terminal, &byte, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the terminal went away: Cancel
        const bool more = ByteWaiting(terminal, SiteSelection::kEscapeSequenceWaitMs);
        const auto outcome = selection.Feed(byte, more);
        ShowCurrent(terminal, entries, selection.position());
        if (outcome != SiteSelection::Outcome::Continue) {
            Put(terminal, outcome == SiteSelection::Outcome::Ok ? "  [OK]\n" : "  [Cancel]\n");
            if (outcome == SiteSelection::Outcome::Ok) return selection.position();
            return std::nullopt;
        }
    }
    Put(terminal, "\n");
    return std::nullopt;
}

}  // namespace vdirkit
