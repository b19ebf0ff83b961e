#include "catalogue/CatalogueUpdate.h"

#include "catalogue/CatalogueLoader.h"
#include "catalogue/CatalogueReader.h"
#include "config/AtomicFile.h"

#include <AddressScope.h>
#include <curl/curl.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unordered_set>

namespace luming {

namespace {

// Far beyond any catalogue; a site that sends more is not sending a catalogue.
constexpr size_t kMaxCatalogueBytes = size_t{512} << 20;

// Loads the entries like the client and notes the first id used twice.
struct CheckingSink : ICatalogueSink {
    explicit CheckingSink(ProgrammeTree& tree) : loader(tree, nullptr) {}
    void Entry(const CatalogueEntry& entry) override {
        if (!ids.emplace(entry.id).second && repeated.empty())
            repeated = entry.id;
        loader.Entry(entry);
    }
    CatalogueLoader loader;
    std::unordered_set<std::string> ids;
    std::string repeated;
};

struct Answer {
    CURLcode result = CURLE_OK;
    long status = 0;
    std::string body, etag, lastModified;
    bool tooLarge = false;
};

size_t KeepBody(char* data, size_t size, size_t count, void* user) {
    auto& answer = *static_cast<Answer*>(user);
    if (answer.body.size() + size * count > kMaxCatalogueBytes) {
        answer.tooLarge = true;
        return 0;
    }
    answer.body.append(data, size * count);
    return size * count;
}

// The value of header `name` in a line of a validators file, trimmed; empty for another header.
std::string HeaderValue(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line[name.size()] != ':')
        return {};
    for (size_t i = 0; i < name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != name[i])
            return {};
    std::string_view value = line.substr(name.size() + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' '))
        value.remove_suffix(1);
    return std::string(value);
}

// A header of the last answer (after any redirect), through libcurl's header API; empty
// without one.
std::string ResponseHeader(CURL* handle, const char* name) {
    curl_header* header = nullptr;
    if (curl_easy_header(handle, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK || !header)
        return {};
    if (header->amount > 1) // the last one counts, as it did when the lines were read in order
        curl_easy_header(handle, name, header->amount - 1, CURLH_HEADER, -1, &header);
    return header->value ? header->value : "";
}

int StopWhenAsked(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

// The validators of a kept catalogue, as header lines.
struct Validators {
    std::string etag, lastModified;
};

Validators ParseValidators(const std::string& text) {
    Validators validators;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line(text.data() + start, end - start);
        if (auto etag = HeaderValue(line, "etag"); !etag.empty())
            validators.etag = etag;
        if (auto modified = HeaderValue(line, "last-modified"); !modified.empty())
            validators.lastModified = modified;
        start = end + 1;
    }
    return validators;
}

Answer Fetch(const std::string& address, const Validators& validators,
             const std::atomic<bool>& stop) {
    Answer answer;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) {
        answer.result = CURLE_FAILED_INIT;
        return answer;
    }
    curl_slist* headers = nullptr;
    if (!validators.etag.empty())
        headers = curl_slist_append(headers, ("If-None-Match: " + validators.etag).c_str());
    if (!validators.lastModified.empty())
        headers =
            curl_slist_append(headers, ("If-Modified-Since: " + validators.lastModified).c_str());

    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, ""); // whatever compression libcurl reads
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, 10000L);
    // A large catalogue over a slow line may take long; a line that stalls may not.
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, 30L);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &StopWhenAsked);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &stop);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &KeepBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &answer);
    // A redirect may not lead to this computer or its network unless the server lives there.
    std::optional<kestrivane::AddressScope> serverScope;
    const kestrivane::ScopeGuard guard(handle, serverScope);
    answer.result = curl_easy_perform(handle);
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &answer.status);
    answer.etag = ResponseHeader(handle, "ETag");
    answer.lastModified = ResponseHeader(handle, "Last-Modified");
    curl_slist_free_all(headers);
    return answer;
}

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

std::string CatalogueAddress(const std::string& catalogueBaseUrl, int channel) {
    if (catalogueBaseUrl.empty())
        return {};
    return catalogueBaseUrl + std::to_string(channel) + ".xml";
}

std::string CatalogueFault(std::string_view bytes) {
    ProgrammeTree tree;
    CheckingSink sink(tree);
    try {
        ReadCatalogueBytes(bytes, sink);
    } catch (const CatalogueFormatError& error) {
        return std::string("not well-formed: ") + error.what();
    }
    if (!sink.repeated.empty())
        return "the id \"" + sink.repeated + "\" names more than one entry";
    sink.loader.Finish();
    for (NodeIndex node = 0; node < tree.Count(); ++node)
        if (!tree.HasChildren(node) && tree.FileType(node) != "0")
            return {};
    return "no programme";
}

CatalogueUpdateResult UpdateCatalogue(const std::string& address, const std::string& file,
                                      const std::atomic<bool>& stop) {
    const std::string validatorFile = file + ".validators";
    // Validators stand for the copy kept; without one they would only get a "not modified".
    const Validators validators =
        ParseValidators(Exists(file) ? ReadWholeFile(validatorFile).value_or("") : "");
    const Answer answer = Fetch(address, validators, stop);
    if (answer.result != CURLE_OK)
        return CatalogueUpdateResult::Unreachable;
    if (answer.status == 304)
        return CatalogueUpdateResult::Unchanged;
    if (answer.status != 200)
        return CatalogueUpdateResult::Unreachable;
    if (const std::string fault = CatalogueFault(answer.body); !fault.empty()) {
        std::fprintf(stderr, "luming: the catalogue at %s was not taken: %s\n", address.c_str(),
                     fault.c_str());
        return CatalogueUpdateResult::Rejected;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), error);
    if (!WriteFileAtomically(file, answer.body))
        return CatalogueUpdateResult::Unreachable;
    // Written after the catalogue: stale validators cost one full download, never a wrong copy.
    WriteFileAtomically(validatorFile,
                        "ETag: " + answer.etag + "\nLast-Modified: " + answer.lastModified + "\n");
    return CatalogueUpdateResult::Updated;
}

CatalogueUpdater::CatalogueUpdater(std::string address, std::string file) {
    if (address.empty())
        return;
    thread_ = std::thread([this, address = std::move(address), file = std::move(file)] {
        UpdateCatalogue(address, file, stop_);
    });
}

CatalogueUpdater::~CatalogueUpdater() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

} // namespace luming
