#pragma once
// Where a template source finds the stores of the request it serves: the string map and the
// InternalData. A source built once for a persistent process holds a shared RequestStores that is
// pointed at each request in turn (bind); a source built for one request holds its own.
// generation() changes with every bind, so that what a source built for one request (selector
// variants) is built again for the next. map() and data() throw std::logic_error before the
// first bind.
#include <cstdint>

#include "utils/InternalData.h"
#include "utils/StringMap.h"

class RequestStores {
  public:
    RequestStores() = default;
    RequestStores(StringMap& map, InternalData& data) : map_(&map), data_(&data) {}

    void bind(StringMap& map, InternalData& data);
    StringMap& map() const;
    InternalData& data() const;
    std::uint64_t generation() const { return generation_; }

  private:
    StringMap* map_ = nullptr;
    InternalData* data_ = nullptr;
    std::uint64_t generation_ = 0;
};
