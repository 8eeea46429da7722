#pragma once
// Runs one request: the "before" filters, the command handler chosen by "cmd", the "after"
// filters. No exception leaves apply(): an Error::ErrorMessage from a before-filter or the handler
// is logged and rendered as the error answer, and the after-filters still run so that the
// response stage writes it.
#include <functional>
#include <vector>

#include "kernel/CommandRegistry.h"
#include "kernel/Filter.h"

class Pipeline {
  public:
    using FilterList = std::vector<FilterRef>;
    // Appends the program's filters to `before` and `after`, in order. A Filter::exception or any
    // other exception it throws is logged; the filters appended so far are kept.
    using Builder = std::function<void(FilterList& before, FilterList& after)>;

    Pipeline(Program program, const Builder& build);
    virtual ~Pipeline() = default;

    virtual void apply(StringMap& map, InternalData& data);

    const FilterList& before() const { return before_; }
    const FilterList& after() const { return after_; }

  private:
    void runHandler(StringMap& map, InternalData& data);
    void runAfter(StringMap& map, InternalData& data);

    Program program_;
    FilterList before_;
    FilterList after_;
};
