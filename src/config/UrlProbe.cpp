#include "config/UrlProbe.h"

#include <algorithm>
#include <curl/curl.h>
#include <memory>

namespace luming {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The status line is all the probe needs: stop the transfer at the first byte of the body.
size_t StopAtBody(char*, size_t, size_t, void*) {
    return 0;
}

} // namespace

std::string ProbeAddress(const std::string& address) {
    const std::string lower = Lower(address);
    if (lower.find("http://") != std::string::npos || lower.starts_with("https://"))
        return address;
    return "http://" + address;
}

CurlUrlProbe::CurlUrlProbe(std::chrono::milliseconds connect, std::chrono::milliseconds total)
    : connect_(connect), total_(total) {}

bool CurlUrlProbe::IsUrlReachable(const std::string& address) {
    if (address.empty())
        return false;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl)
        return false;

    const std::string url = ProbeAddress(address);
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");

    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "InetURL:/1.0");
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connect_.count()));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(total_.count()));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &StopAtBody);
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");

    const CURLcode result = curl_easy_perform(handle);
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    curl_slist_free_all(headers);

    // A transfer stopped at the body reports a write error; the status is what counts.
    if (result != CURLE_OK && result != CURLE_WRITE_ERROR)
        return false;
    return status == 200 || status == 302;
}

bool IsUrlReachable(const std::string& address) {
    CurlUrlProbe probe;
    return probe.IsUrlReachable(address);
}

} // namespace luming
