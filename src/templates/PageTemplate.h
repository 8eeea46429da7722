#pragma once
// A page template: text in which placeholders "<#name#>" or "<#name(arg1,arg2)#>" stand for
// values. Construction parses the text once; render() asks a resolver for every placeholder.
//
// Contract:
//  - Construction throws PageTemplate::exception (not a std::exception) on malformed text:
//    kUnclosed for an open delimiter without a following close delimiter, kEmptyPlaceholder,
//    kLeadingParenthesis for a placeholder starting with "(", kUnbalanced for a ")" without a
//    preceding "(" or a "(" without ")". The position is always -1.
//  - Names are lower-cased (A-Z only); the argument list of a placeholder starts with its name,
//    followed by the pieces between "(" and the first ")" split at every ",", untrimmed. Text
//    after that ")" is ignored.
//  - render() writes the literal pieces and, between them, what handlers[name].render(args, map)
//    returns; rendered values are never scanned again. Any failure of a resolver is reported as
//    exception kRenderFailed.
//  - Empty delimiters make the whole text one literal piece.
#include <string>
#include <vector>

template <typename S>
class PageTemplate {
  public:
    using Char = typename S::value_type;

    struct exception {
        int code;
        int position;
    };
    enum Code {
        kRenderFailed = 0,
        kUnclosed = 1,
        kEmptyPlaceholder = 2,
        kLeadingParenthesis = 3,
        kUnbalanced = 4
    };

    PageTemplate(const S& text, const S& open, const S& close) { parse(text, open, close); }

    // Appends the rendered text to `out`. `Handlers` maps a name to a resolver through
    // operator[] (creating a default one on first use); `Map` is the string map.
    template <typename Handlers, typename Map>
    void render(S& out, Handlers& handlers, Map& map) const {
        try {
            out += literals_.front();
            for (size_t i = 0; i < names_.size(); ++i) {
                out += handlers[names_[i]].render(arguments_[i], map);
                out += literals_[i + 1];
            }
        } catch (...) {
            throw exception{kRenderFailed, -1};
        }
    }

    const std::vector<S>& literals() const { return literals_; }
    const std::vector<S>& names() const { return names_; }
    const std::vector<std::vector<S>>& arguments() const { return arguments_; }

  private:
    static S lower(S s) {
        for (Char& c : s)
            if (c >= Char('A') && c <= Char('Z')) c = static_cast<Char>(c - Char('A') + Char('a'));
        return s;
    }
    [[noreturn]] static void fail(int code) { throw exception{code, -1}; }

    void parse(const S& text, const S& open, const S& close) {
        if (open.empty() || close.empty()) {
            literals_.push_back(text);
            return;
        }
        size_t pos = 0;
        for (;;) {
            const size_t start = text.find(open, pos);
            if (start == S::npos) {
                literals_.push_back(text.substr(pos));
                return;
            }
            literals_.push_back(text.substr(pos, start - pos));
            const size_t tokenStart = start + open.size();
            const size_t end = text.find(close, tokenStart);
            if (end == S::npos) fail(kUnclosed);
            parseToken(text.substr(tokenStart, end - tokenStart));
            pos = end + close.size();
        }
    }

    void parseToken(const S& token) {
        if (token.empty()) fail(kEmptyPlaceholder);
        const size_t openParen = token.find(Char('('));
        const size_t closeParen = token.find(Char(')'));
        if (openParen == S::npos) {
            if (closeParen != S::npos) fail(kUnbalanced);
            names_.push_back(lower(token));
            arguments_.push_back({names_.back()});
            return;
        }
        if (openParen == 0) fail(kLeadingParenthesis);
        if (closeParen == S::npos || closeParen < openParen) fail(kUnbalanced);
        names_.push_back(lower(token.substr(0, openParen)));
        std::vector<S> args{names_.back()};
        const S inside = token.substr(openParen + 1, closeParen - openParen - 1);
        if (!inside.empty()) {
            size_t from = 0;
            for (;;) {
                const size_t comma = inside.find(Char(','), from);
                args.push_back(inside.substr(from, comma == S::npos ? S::npos : comma - from));
                if (comma == S::npos) break;
                from = comma + 1;
            }
        }
        arguments_.push_back(std::move(args));
    }

    std::vector<S> literals_;
    std::vector<S> names_;
    std::vector<std::vector<S>> arguments_;
};
