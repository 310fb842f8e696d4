// HTTP GET on libcurl with bounded waits and a bounded answer.
#include "cadhost/http_client.h"

#include <curl/curl.h>

#include <cstdlib>
#include <memory>
#include <mutex>

namespace cadhost {

namespace {

void initialiseCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    std::string body;
    std::size_t maxBytes = 0;
    bool tooLarge = false;
    const std::atomic<bool>* cancel = nullptr;
};

std::size_t onData(char* data, std::size_t size, std::size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    if (n > t->maxBytes - t->body.size()) {
        t->tooLarge = true;
        return 0; // ends the transfer with a write error
    }
    t->body.append(data, n);
    return n;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(user);
    return t->cancel && t->cancel->load() ? 1 : 0;
}

bool startsWithNoCase(const std::string& text, const char* prefix) {
    std::size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= text.size())
            return false;
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

// Loopback addresses never go through a proxy the environment names, so a
// local server is always reached directly; the user's own exceptions stay.
std::string noProxyList() {
    std::string list = "localhost,127.0.0.1,::1";
    for (const char* name : {"no_proxy", "NO_PROXY"})
        if (const char* value = std::getenv(name); value && *value)
            return list + "," + value;
    return list;
}

long toCurlMs(std::chrono::milliseconds ms) {
    // 0 would mean "no limit" to libcurl: every wait stays bounded.
    return ms.count() < 1 ? 1L : static_cast<long>(ms.count());
}

} // namespace

HttpResponse httpGet(const std::string& address, const HttpOptions& options) {
    HttpResponse response;
    if (!startsWithNoCase(address, "http://") && !startsWithNoCase(address, "https://")) {
        response.outcome = HttpOutcome::BadAddress;
        response.error = "not an http or https address";
        return response;
    }
    if (address.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        response.outcome = HttpOutcome::BadAddress;
        response.error = "the address holds a line break";
        return response;
    }
    initialiseCurl();
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) {
        response.error = "the transfer could not be set up";
        return response;
    }
    Transfer transfer;
    transfer.maxBytes = options.maxBytes;
    transfer.cancel = options.cancel;
    const std::string noProxy = noProxyList();
    char errorText[CURL_ERROR_SIZE] = {0};

    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, address.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L); // worker threads: no SIGALRM
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, toCurlMs(options.connectTimeout));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, toCurlMs(options.totalTimeout));
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBytes));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, onData);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(h, CURLOPT_NOPROXY, noProxy.c_str());
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_USERAGENT, "cadhost");

    const CURLcode rc = curl_easy_perform(h);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &response.status);
    if (char* type = nullptr;
        curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        response.contentType = type;

    auto fail = [&](HttpOutcome outcome, const std::string& why) {
        response.outcome = outcome;
        response.error = why;
        response.body.clear();
        return response;
    };
    const std::string detail = errorText[0] ? errorText : curl_easy_strerror(rc);
    switch (rc) {
    case CURLE_OK:
        break;
    case CURLE_FILESIZE_EXCEEDED:
    case CURLE_WRITE_ERROR:
        if (rc == CURLE_FILESIZE_EXCEEDED || transfer.tooLarge)
            return fail(HttpOutcome::TooLarge,
                        "the answer is larger than " + std::to_string(options.maxBytes) + " bytes");
        return fail(HttpOutcome::Failed, detail);
    case CURLE_ABORTED_BY_CALLBACK:
        return fail(HttpOutcome::Cancelled, "cancelled");
    case CURLE_URL_MALFORMAT:
        return fail(HttpOutcome::BadAddress, detail);
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
        return fail(HttpOutcome::ConnectFailed, detail);
    case CURLE_OPERATION_TIMEDOUT: {
        // A connection that was never made counts as a failed connection.
        curl_off_t connected = 0;
        curl_easy_getinfo(h, CURLINFO_CONNECT_TIME_T, &connected);
        return fail(connected == 0 ? HttpOutcome::ConnectFailed : HttpOutcome::TimedOut, detail);
    }
    default:
        return fail(HttpOutcome::Failed, detail);
    }
    response.body = std::move(transfer.body);
    if (response.status >= 300) {
        response.outcome = HttpOutcome::HttpError;
        response.error = "the server answered with status " + std::to_string(response.status);
        return response;
    }
    response.outcome = HttpOutcome::Ok;
    return response;
}

} // namespace cadhost
