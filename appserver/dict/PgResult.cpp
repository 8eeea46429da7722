#include "dict/PgResult.h"

#include <libpq-fe.h>

#include <cstdlib>

void PgResult::Clearer::operator()(pg_result* result) const { PQclear(result); }

PgResult::PgResult(pg_result* result) : result_(result) {}

int PgResult::rows() const { return PQntuples(result_.get()); }

std::string PgResult::Text(int row, int column) const {
    if (IsNull(row, column)) return {};
    return std::string(PQgetvalue(result_.get(), row, column),
                       static_cast<size_t>(PQgetlength(result_.get(), row, column)));
}

long long PgResult::Int(int row, int column) const {
    return std::strtoll(PQgetvalue(result_.get(), row, column), nullptr, 10);
}

bool PgResult::IsNull(int row, int column) const {
    return PQgetisnull(result_.get(), row, column) != 0;
}
