#pragma once
// Renderers of a TextProcessor's problems (UTF-8 out).
//
// RenderDecorated: the loaded text with every problem wrapped by the decorator. Problems are
// taken in list order; one that starts before the end of the previous one is left out. Plain
// text, forum tags and colour codes never become markup in an HTML rendering ('<', '>', '&'
// written as references); decorations and shown tags stay markup. When the input held no HTML
// (and the decorator does not claim it did) the result is converted for display: blanks,
// tabs and line ends as DisplayConvert says. Raises EIncorrectPosition for a problem outside
// the check stream.
//
// RenderWordsXml / RenderWordsJson: the misspelt words, widened over adjacent apostrophes,
// with the suggestions of the engine answer (lines "word:sugg1,sugg2,...") for the first two
// problems, at most min(sug_len, 15) each; "no_any_suggestions" and empty entries are no
// suggestions. A problem of length 63 and one that starts where the previous one ends are
// left out. Words and suggestions are escaped for their place (XML attribute value;
// single-quoted script string). Problems outside the check stream give a shortened or empty
// word, never an error.
#include <string>
#include <string_view>

#include "text/ErrorDecorator.h"
#include "text/TextProcessor.h"
#include "utils/StringMap.h"

std::string RenderDecorated(TextProcessor& processor, ErrorDecorator& decorator);
std::string RenderWordsXml(TextProcessor& processor, const StringMap& strings,
                           std::string_view answer);
std::string RenderWordsJson(TextProcessor& processor, const StringMap& strings,
                            std::string_view answer);

// Plain text shown as HTML: a TAB outside a tag becomes eight "&nbsp;"; CR, LF, CR LF and LF CR
// become "&nbsp;<br />"; of a run of blanks outside a tag after a word the first stays a blank,
// the others become "&nbsp;". Text inside tags ('<' ... '>') is kept. Once the result has
// grown to three times the rendered text plus 4,096 code units, the rest is written unchanged
// (a text of thousands of TABs or blanks cannot make an answer dozens of times its size).
std::u16string DisplayConvert(std::u16string_view rendered);
