#pragma once
// Base of resolvers that read the request's typed values. `data` must outlive the resolver (the
// handler map lives for one rendering inside the response stage).
#include "templates/DefMetaHandler.h"
#include "utils/InternalData.h"

class InternalDataMetaHandler : public DefMetaHandler {
  public:
    std::string render(const Arguments& args, StringMap& map) override = 0;

  protected:
    explicit InternalDataMetaHandler(InternalData& data) : data_(data) {}
    InternalData& data() const { return data_; }

  private:
    InternalData& data_;
};
