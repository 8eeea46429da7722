#include "client/HttpRequest.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace {

struct EasyCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;
using HeaderList = std::unique_ptr<curl_slist, ListCleanup>;

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Header values come from the browser's request: a line break would start a header of its own.
std::string OneLine(std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    return value;
}

const char* DefaultPort(const std::string& scheme) { return scheme == "https" ? "443" : "80"; }

// Collects the final answer: its header lines (a new block after an interim 1xx answer starts
// over) and its body, up to the size limit.
struct Collector {
    HttpRequest::Response* response;
    size_t limit;
    size_t total = 0;
    bool headerDone = false;
    bool tooLarge = false;

    bool Count(size_t bytes) {
        total += bytes;
        tooLarge = tooLarge || total > limit;
        return !tooLarge;
    }

    static size_t Header(char* data, size_t size, size_t count, void* self) {
        auto& c = *static_cast<Collector*>(self);
        const size_t bytes = size * count;
        if (!c.Count(bytes)) return 0;
        std::string line(data, bytes);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (line.empty()) {
            c.headerDone = true;
            return bytes;
        }
        if (c.headerDone) {
            c.response->header.clear();
            c.headerDone = false;
        }
        if (!c.response->header.empty()) c.response->header += "\r\n";
        c.response->header += line;
        return bytes;
    }

    static size_t Body(char* data, size_t size, size_t count, void* self) {
        auto& c = *static_cast<Collector*>(self);
        const size_t bytes = size * count;
        if (!c.Count(bytes)) return 0;
        c.response->body.append(data, bytes);
        return bytes;
    }
};

HttpRequest::Failure Classify(CURLcode code, CURL* curl, bool https, bool tooLarge) {
    using F = HttpRequest::Failure;
    if (tooLarge) return F::ReceiveFailed;
    curl_off_t connected = 0, secured = 0;
    curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connected);
    curl_easy_getinfo(curl, CURLINFO_APPCONNECT_TIME_T, &secured);
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_URL_MALFORMAT:
            return F::UnknownHost;
        case CURLE_SEND_ERROR:
            return F::SendFailed;
        case CURLE_FAILED_INIT:
        case CURLE_OUT_OF_MEMORY:
            return F::NoConnection;
        default:
            break;
    }
    if (connected == 0 || (https && secured == 0)) return F::Unavailable;
    return F::ReceiveFailed;
}

}  // namespace

HttpRequest::HttpRequest(std::string scheme, std::string host, std::string port, std::string path,
                         bool debug)
    : scheme_(std::move(scheme)),
      host_(std::move(host)),
      port_(std::move(port)),
      path_(std::move(path)),
      debug_(debug) {}

std::string HttpRequest::authority() const {
    return host_ + (port_ == DefaultPort(scheme_) ? "" : ":" + port_);
}

std::string HttpRequest::url() const { return scheme_ + "://" + authority() + path_; }

HttpRequest::Result HttpRequest::Post(const std::string& body, const Options& options,
                                      Response& response) const {
    GlobalInit();
    response = Response{};
    EasyHandle curl(curl_easy_init());
    if (!curl) return {Failure::NoConnection, "the transfer could not be created"};

    HeaderList headers;
    for (const std::string& line :
         {"Host:" + OneLine(authority()), std::string("Connection: close"),
          std::string("Accept: */*"), "User-Agent: " + OneLine(options.userAgent),
          options.cookie.empty() ? std::string("Cookie;") : "Cookie: " + OneLine(options.cookie),
          std::string("Content-Type:"), std::string("Expect:")}) {
        curl_slist* appended = curl_slist_append(headers.get(), line.c_str());
        if (appended == nullptr) return {Failure::NoConnection, "out of memory"};
        headers.release();
        headers.reset(appended);
    }

    // The connection goes to the host and port as given; the request line carries the absolute
    // URL of the service.
    const std::string target = url();
    const std::string connectUrl = scheme_ + "://" + host_ + ":" + port_ + path_;
    Collector collector{&response, options.maxAnswerBytes};
    char error[CURL_ERROR_SIZE] = "";
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, connectUrl.c_str());
    curl_easy_setopt(c, CURLOPT_REQUEST_TARGET, target.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(c, CURLOPT_PROXY, "");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_POST, 1L);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, options.timeoutMs);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxAnswerBytes));
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!options.caFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, options.caFile.c_str());
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &Collector::Header);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &collector);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Collector::Body);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &collector);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 0L);

    const CURLcode code = curl_easy_perform(c);
    if (code == CURLE_OK && !collector.tooLarge) return {};
    const Failure failure = Classify(code, c, scheme_ == "https", collector.tooLarge);
    std::string detail = collector.tooLarge ? "the answer is larger than the limit"
                                            : (*error ? error : curl_easy_strerror(code));
    if (debug_) detail += " (" + connectUrl + ")";
    return {failure, detail};
}
