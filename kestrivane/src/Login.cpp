#include "Login.h"

#include <curl/curl.h>

#include <memory>

namespace kestrivane {

namespace {

size_t DiscardBody(char*, size_t size, size_t count, void*) {
    return size * count;
}

} // namespace

bool LogIn(int32_t clientVersionCode, const std::string& webBaseUrl) {
    if (webBaseUrl.empty())
        return false;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl)
        return false;
    std::string url = webBaseUrl;
    if (url.back() != '/')
        url += '/';
    url += "login?version=" + std::to_string(clientVersionCode);

    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, 5000L);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, 10000L);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &DiscardBody);
    if (curl_easy_perform(handle) != CURLE_OK)
        return false;
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    return status >= 200 && status < 300;
}

} // namespace kestrivane
