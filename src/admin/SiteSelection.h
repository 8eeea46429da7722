#pragma once
// The keyboard logic of the terminal chooser, one byte at a time: digits type an entry number,
// the arrow keys (or k/j) move, Enter confirms, Escape or 'q' cancels.
#include <cstddef>
#include <string>

namespace vdirkit {

class SiteSelection {
  public:
    enum class Outcome { Continue, Ok, Cancel };
    // After an Escape byte, how long to wait for the rest of an arrow-key sequence.
    static constexpr int kEscapeSequenceWaitMs = 50;

    SiteSelection(size_t count, size_t preselected) : count_(count), position_(preselected) {}

    // `moreFollows`: whether another byte is already waiting (tells a lone Escape from the start
    // of an arrow-key sequence).
    Outcome Feed(char byte, bool moreFollows);
    size_t position() const { return position_; }

  private:
    void Move(int step);
    void Type(char digit);

    size_t count_;
    size_t position_;
    std::string typed_;    // the entry number typed so far
    int escapeState_ = 0;  // 1 after Escape, 2 after Escape '['
};

}  // namespace vdirkit
