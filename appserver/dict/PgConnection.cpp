#include "dict/PgConnection.h"

#include <libpq-fe.h>

#include <vector>

#include "dict/PgError.h"

namespace {

// libpq's message on one line, for the log.
std::string OneLine(const char* message) {
    std::string out = message ? message : "";
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    for (char& c : out)
        if (c == '\n' || c == '\t') c = ' ';
    return out;
}

}  // namespace

void PgConnection::Closer::operator()(pg_conn* conn) const { PQfinish(conn); }

PgConnection::PgConnection(const std::string& uri) {
    const std::string timeout = std::to_string(kConnectTimeoutSeconds);
    // Notices ("relation already exists, skipping") would go to standard error.
    const std::string options = "-c statement_timeout=" + std::to_string(kStatementTimeoutMs) +
                                " -c client_min_messages=warning";
    // The URI comes last so that its own settings win over these defaults.
    const char* keys[] = {"connect_timeout", "options", "application_name", "dbname", nullptr};
    const char* values[] = {timeout.c_str(), options.c_str(), "appserver", uri.c_str(), nullptr};
    conn_.reset(PQconnectdbParams(keys, values, 1));
    if (!conn_ || PQstatus(conn_.get()) != CONNECTION_OK)
        throw PgError(std::string("cannot connect to the dictionary database: ") +
                          OneLine(conn_ ? PQerrorMessage(conn_.get()) : "out of memory"),
                      "", "", true);
    if (PQsetClientEncoding(conn_.get(), "UTF8") != 0)
        throw PgError("the dictionary database refuses UTF-8", "", "", false);
}

bool PgConnection::ok() const { return PQstatus(conn_.get()) == CONNECTION_OK; }

PgResult PgConnection::Run(const char* sql, std::initializer_list<std::string> params) {
    std::vector<const char*> values;
    std::vector<int> lengths;
    for (const std::string& p : params) {
        values.push_back(p.c_str());
        lengths.push_back(static_cast<int>(p.size()));
    }
    PgResult result(PQexecParams(conn_.get(), sql, static_cast<int>(values.size()), nullptr,
                                 values.data(), lengths.data(), nullptr, 0));
    const PGresult* raw = result.raw();
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
    auto field = [raw](int code) {
        const char* text = raw ? PQresultErrorField(raw, code) : nullptr;
        return std::string(text ? text : "");
    };
    throw PgError("dictionary database: " + OneLine(PQerrorMessage(conn_.get())),
                  field(PG_DIAG_SQLSTATE), field(PG_DIAG_CONSTRAINT_NAME), !ok());
}
