#pragma once
// One run of a loaded text: plain text, a tag, a reference, a forum tag, a colour code or a
// decoration. Elements are owned by their CText; the check texts of the elements whose check
// length is above 0, in order, make the check stream the engine sees.
#include <string>

enum class ElementKind : int {
    kNew = 0,         // nothing filled it yet
    kPlain = 1,       // plain text, and any element after a replacement or a split
    kTag = 2,         // HTML tag or skipped HTML block
    kNamedRef = 3,    // named character reference
    kUbbTag = 4,      // forum tag
    kNumericRef = 5,  // decimal numeric character reference
    kColor = 7,       // colour code
    kDecoration = 8,  // markup inserted around a misspelt word
    kEscapedTag = 9,  // tag outside the tag white list, shown escaped in the filtered view
};

struct TextElement {
    std::u16string source;  // as written in the input, or as inserted
    std::u16string view;    // tags only: what the filtered view shows
    std::u16string check;   // what the checker sees
    ElementKind kind = ElementKind::kNew;
    // Offset of the check text in the check stream; for elements whose check length is 0 or
    // less, the running offset minus 1.
    int checkStart = -1;
    // -1 for elements that never take part (new elements, forum tags, colour codes), 0 for
    // tags without a blank.
    int checkLength = -1;
    bool keep = true;  // tags: shown in the filtered view
    // A closing tag that closes no element opened within the text: left out of the filtered
    // view and of HTML renderings, so that it cannot end an element of the page around the text
    // (it stays in the source text).
    bool strayClosingTag = false;
    // Plain text that a replacement touched (its own range or the rest of the element it cut):
    // its source is written again from its check text.
    bool rewritten = false;
    // Plain text that the run of an opening character which no filter could read (left as plain
    // text) reached into: with other characters there, the run might be read on the next load.
    bool nearUnreadRun = false;

    bool InCheckStream() const { return checkLength > 0; }
    bool Holds(int position) const {
        return InCheckStream() && position >= checkStart && position - checkStart < checkLength;
    }
};
