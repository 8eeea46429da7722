#pragma once
// The commands' facade over the text model (CText): UTF-8 in and out.
//
// Typical use by a command: construct; SetText with the request's text; GetCheckText for the
// engine; AddProblem for every misspelt range the engine reports (check-stream positions in
// UTF-16 code units); then, where the command needs it, SetText again, a renderer
// (TextRenderers.h), GetText and MakeDialogCall. ReplaceRange and GetWord serve the dictionary
// and correction commands.
//
// The parse options given at construction are accepted and not applied: the model always
// starts with an empty marker string, so all five filters start enabled.
//
// Throws: GetWord and MakeDialogCall raise EIncorrectPosition for a range outside the check
// stream; ReplaceRange never does (it leaves the model unchanged). Not thread-safe.
#include <string>
#include <string_view>
#include <vector>

#include "text/CText.h"
#include "text/FilteringParams.h"

class TextProcessor {
  public:
    struct Problem {
        int position = 0;
        int length = 0;
        int id = 0;
    };

    TextProcessor(std::string_view parseOptions, const FilteringParams& params);

    // Loads text (UTF-8; malformed bytes read as U+FFFD). Problems already added remain.
    void SetText(std::string_view utf8);
    // The whole check stream, for the engine. Always ends with one blank.
    std::string GetCheckText() const;
    std::string GetWord(int position, int length) const;
    // Replaces the check-stream range; markup inside it is kept. A range outside the stream
    // changes nothing.
    void ReplaceRange(std::u16string_view text, int position, int length);
    // Every range (position, length) of `positions` (ascending, not overlapping) at once, in
    // time linear in the text (CText::ReplaceRanges). Returns the number replaced.
    int ReplaceRanges(std::u16string_view text, const std::vector<int>& positions, int length);
    // The text to give back to the browser: every source but the decorations (the text as
    // loaded, after replacements, with one trailing blank).
    std::string GetText() const;
    // Makes the model the one SetText(GetText()) would give, without reading the text again,
    // where the model can tell that it would (CText::LoadOwnSource); else returns false and
    // changes nothing.
    bool LoadOwnText() { return text_.LoadOwnSource(); }

    void AddProblem(int position, int length, int id);
    const std::vector<Problem>& Problems() const { return problems_; }

    // The dialog start script for the problem: "submit_bot('cmd','word',pos,len,index,id,
    // 'identifier');", or the finish call "submit_bot('finish', '', 0, 0, 0, '', '');" for an
    // index outside the problem list.
    std::string MakeDialogCall(std::string_view command, int problemIndex) const;

    CText& Text() { return text_; }
    const CText& Text() const { return text_; }

  private:
    CText text_;
    std::vector<Problem> problems_;
};
