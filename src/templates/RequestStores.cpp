#include "templates/RequestStores.h"

#include <stdexcept>

namespace {

constexpr char kUnbound[] = "template source used outside a request";

}  // namespace

void RequestStores::bind(StringMap& map, InternalData& data) {
    map_ = &map;
    data_ = &data;
    ++generation_;
}

StringMap& RequestStores::map() const {
    if (!map_) throw std::logic_error(kUnbound);
    return *map_;
}

InternalData& RequestStores::data() const {
    if (!data_) throw std::logic_error(kUnbound);
    return *data_;
}
