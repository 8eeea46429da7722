#pragma once
// The rows of one PostgreSQL command in text form; owns its PGresult.
#include <memory>
#include <string>

struct pg_result;

class PgResult {
  public:
    explicit PgResult(pg_result* result);

    int rows() const;
    // The text of a field; empty for NULL.
    std::string Text(int row, int column) const;
    long long Int(int row, int column) const;
    bool IsNull(int row, int column) const;
    // The libpq result, for status and error fields; may be null (out of memory).
    const pg_result* raw() const { return result_.get(); }

  private:
    struct Clearer {
        void operator()(pg_result* result) const;
    };
    std::unique_ptr<pg_result, Clearer> result_;
};
