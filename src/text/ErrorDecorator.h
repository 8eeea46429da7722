#pragma once
// Base of the misspelling decorators: the markup put around one misspelt word, and the
// markers under which the decorated text is rendered (see RenderDecorated).
#include <string>
#include <string_view>

class CText;

class ErrorDecorator {
  public:
    virtual ~ErrorDecorator() = default;

    // Wraps the check-stream range [position, position + length) of text through
    // CText::Decorate. scriptWord is the word escaped for a single-quoted script string
    // (ScriptEscape), identifierWord its identifier form (IdentifierForm). Raises
    // EIncorrectPosition for a range outside the check stream.
    virtual void Decorate(CText& text, int problemIndex, int problemId,
                          std::u16string_view scriptWord, std::u16string_view identifierWord,
                          int position, int length) = 0;
    virtual std::u16string Markers() const = 0;
    // Whether the rendering is an HTML page fragment, in which text must never become markup.
    virtual bool WritesHtml() const { return true; }
};
