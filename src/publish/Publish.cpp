#include "publish/Publish.h"

#include "config/TextEncoding.h"
#include "content/ContentAddress.h"
#include "content/ContentError.h"
#include "playback/PlayStart.h"
#include "publish/Pages.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace luming::site {

namespace fs = std::filesystem;

namespace {

const std::set<std::string> kKnownTypes = {"0", "1", "2", "3", "4", "10", "11"};

// Written into every publication, so that a later one knows the folder it may replace.
constexpr char kMarkFile[] = ".luming-site";
constexpr char kMark[] = "A channel published by luming-tool publish. The next publication into "
                         "this folder replaces everything in it.\n";
// What publications made before the mark hold at their top, and nothing else.
const std::set<std::string> kUnmarkedSiteTop = {"Mp3PageHtml", "ad",           "dl",
                                                "links.html",  "login",        "mini_index.html",
                                                "offline",     "platform.ini", "play"};

std::string Describe(const ChannelEntry& entry) {
    return "entry " + (entry.id.empty() ? std::string("without an id") : entry.id) +
           (entry.name.empty() ? std::string() : " (" + entry.name + ")");
}

[[noreturn]] void Fail(const ChannelEntry& entry, const std::string& fault) {
    throw PublishError(Describe(entry) + ": " + fault);
}

bool HasControlCharacter(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F)
            return true;
    return false;
}

// A name stands in the catalogue as written and in programme links between "_" separators.
void CheckName(const ChannelEntry& entry) {
    const std::string& name = entry.name;
    if (name.empty())
        Fail(entry, "the name is empty");
    if (!IsValidUtf8(name) || HasControlCharacter(name))
        Fail(entry, "the name holds characters a catalogue cannot carry");
    if (name.front() == ' ' || name.back() == ' ')
        Fail(entry, "the name starts or ends with a blank");
    if (name.find('_') != std::string::npos)
        Fail(entry, "the name holds \"_\", which ends an item of a programme link");
}

void CheckId(const ChannelEntry& entry, std::map<std::string, std::string>& addresses) {
    if (entry.id.empty())
        Fail(entry, "the id is empty");
    if (!IsValidUtf8(entry.id) || HasControlCharacter(entry.id) ||
        entry.id.find_first_of(" <>&") != std::string::npos)
        Fail(entry, "the id holds characters a catalogue cannot carry");
    if (GetFileExt(entry.type).empty())
        return;
    // "7" and "007" have the same content address.
    try {
        const std::string address = SourceUrlFor("", entry.id, entry.type);
        const auto [held, added] = addresses.emplace(address, entry.id);
        if (!added)
            Fail(entry, "the programme has the same content address as " + held->second);
    } catch (const ContentError&) {
        Fail(entry, "a programme id must be a whole number");
    }
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else
            out += c;
    }
    return out;
}

// Copies the media file itself, never what a link put in its place meanwhile points at.
void CopyMedia(const fs::path& from, const fs::path& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat file {};
    if (in < 0 || ::fstat(in, &file) != 0 || !S_ISREG(file.st_mode)) {
        if (in >= 0)
            ::close(in);
        throw PublishError(from.string() + " is not a regular file");
    }
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    bool copied = out >= 0;
    char buffer[64 * 1024];
    while (copied) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            break;
        copied = got > 0 && ::write(out, buffer, static_cast<size_t>(got)) == got;
    }
    ::close(in);
    if (out >= 0 && ::close(out) != 0)
        copied = false;
    if (!copied)
        throw PublishError("cannot copy " + from.string() + " to " + to.string());
}

void WriteText(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << bytes;
    out.close();
    if (!out)
        throw PublishError("cannot write " + file.string());
}

// The clients' settings, pointing at the site's pages.
std::string PlatformIni(const std::string& base) {
    return "[Info]\n1=" + base + "\n3=" + base + "/dl/\n10=" + base +
           "/Mp3PageHtml/Mp3PageHtml\n11=" + base + "/mini_index.html\n12=" + base +
           "/links.html\n14=" + base + "/ad/StatusBar.html\n15=" + base +
           "/ad/ChannelAds.html\n16=" + base + "/ad/PauseAds.html\n17=" + base + "/dl/xml/\n";
}

void WriteSite(const PublishRequest& request, const std::vector<ChannelEntry>& entries,
               const fs::path& root) {
    const std::string edition = std::to_string(request.channel);
    for (const ChannelEntry& entry : entries) {
        const std::string_view extension = GetFileExt(entry.type);
        if (extension.empty())
            continue;
        const fs::path target = root / SourceUrlFor("dl/", entry.id, entry.type);
        fs::create_directories(target.parent_path());
        CopyMedia(fs::path(request.mediaDir) / (entry.id + std::string(extension)), target);
        fs::permissions(target, fs::perms(0644));
        // A read-along beside the programme goes to the programme's address with its extension;
        // a link could publish any file this user may read, for everyone to read.
        const fs::path readAlong = fs::path(request.mediaDir) / (entry.id + ".lrc");
        std::error_code error;
        const fs::file_status readAlongStatus = fs::symlink_status(readAlong, error);
        if (fs::is_symlink(readAlongStatus))
            throw PublishError("the read-along " + readAlong.string() + " is a symbolic link");
        if (fs::is_regular_file(readAlongStatus)) {
            const fs::path lrcTarget = fs::path(target).replace_extension(".lrc");
            CopyMedia(readAlong, lrcTarget);
            fs::permissions(lrcTarget, fs::perms(0644));
        }
    }
    WriteText(root / CataloguePath(request.channel), CatalogueXml(entries));
    WriteText(root / AudioPageAddress("Mp3PageHtml/Mp3PageHtml", request.channel),
              AudioPage(entries));
    WriteText(root / "mini_index.html", NewsPage(entries));
    WriteText(root / ("ad/StatusBar" + edition + ".html"), StatusBarAdPage());
    WriteText(root / ("ad/ChannelAds" + edition + ".html"), ChannelAdPage(entries));
    WriteText(root / ("ad/PauseAds" + edition + ".html"), PauseAdPage());
    WriteText(root / "links.html", LinksPage(entries));
    WriteText(root / kLinkOpenedElsewherePath, LinkOpenedElsewherePage());
    WriteText(root / "offline/mp3.htm", OfflineAudioPage());
    WriteText(root / kLoginPath, "ok\n");
    WriteText(root / "platform.ini", PlatformIni(request.baseUrl));
    WriteText(root / kMarkFile, kMark);
}

std::optional<std::string> Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An earlier publication that predates the mark: exactly what a publication puts at its top.
bool IsUnmarkedPublication(const fs::path& out) {
    std::error_code error;
    std::set<std::string> top;
    for (fs::directory_iterator entry(out, error), end; !error && entry != end;
         entry.increment(error))
        top.insert(entry->path().filename().string());
    return !error && top == kUnmarkedSiteTop && fs::is_directory(fs::symlink_status(out / "dl"));
}

// Only an empty folder or an earlier publication is ever replaced.
bool MayReplace(const fs::path& out) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(out, error);
    if (!fs::exists(status))
        return true;
    if (!fs::is_directory(status))
        return false;
    if (fs::is_empty(out, error))
        return true;
    const fs::path mark = out / kMarkFile;
    if (fs::is_regular_file(fs::symlink_status(mark, error)))
        return Contents(mark) == kMark;
    return IsUnmarkedPublication(out);
}

// Web servers derive ETag and Last-Modified from a file's time in whole seconds and its size: a
// page or catalogue that changed must not keep both, or clients asking conditionally would keep
// the old one. A changed file gets a time past the earlier one's. Programmes are left alone:
// their addresses are never meant to hold anything else.
void MarkChangedFiles(const fs::path& fresh, const fs::path& earlier) {
    for (const auto& entry : fs::recursive_directory_iterator(fresh)) {
        const fs::path relative = fs::relative(entry.path(), fresh);
        const std::string name = relative.generic_string();
        if (!entry.is_regular_file() || (name.starts_with("dl/") && !name.starts_with("dl/xml/")))
            continue;
        std::error_code error;
        const fs::path old = earlier / relative;
        const auto oldTime = fs::last_write_time(old, error);
        if (error || Contents(old) == Contents(entry.path()))
            continue;
        if (fs::last_write_time(entry.path()) < oldTime + std::chrono::seconds(1))
            fs::last_write_time(entry.path(), oldTime + std::chrono::seconds(1));
    }
}

// Puts `fresh` at `out`: a rename, or an exchange of the two when `out` exists, so that a web
// server reading `out` sees the old site or the new one, never neither.
void Install(const fs::path& fresh, const fs::path& out) {
    std::error_code error;
    if (!fs::exists(out, error)) {
        fs::rename(fresh, out);
        return;
    }
    MarkChangedFiles(fresh, out);
    if (::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, out.c_str(), RENAME_EXCHANGE) != 0)
        throw PublishError("cannot put the new site in place of " + out.string());
    fs::remove_all(fresh, error); // now the earlier publication
}

} // namespace

std::string CataloguePath(int channel) {
    return "dl/xml/" + std::to_string(channel) + ".xml";
}

void CheckChannel(const std::vector<ChannelEntry>& entries, const std::string& mediaDir) {
    if (entries.empty())
        throw PublishError("the channel lists no entries");
    std::set<std::string> folders; // the folders read so far
    std::set<std::string> ids;
    std::map<std::string, std::string> addresses;
    bool anyProgramme = false;
    for (const ChannelEntry& entry : entries) {
        if (!kKnownTypes.count(entry.type))
            Fail(entry, "unknown type \"" + entry.type + "\"");
        CheckId(entry, addresses);
        if (!ids.insert(entry.id).second)
            Fail(entry, "the id is used by an earlier entry");
        if (!entry.pid.empty() && !folders.count(entry.pid))
            Fail(entry, "the parent " + entry.pid + " is not a folder listed before it");
        CheckName(entry);
        if (entry.type == "0") {
            folders.insert(entry.id);
            continue;
        }
        anyProgramme = true;
        const fs::path media =
            fs::path(mediaDir) / (entry.id + std::string(GetFileExt(entry.type)));
        std::error_code error;
        const fs::file_status status = fs::symlink_status(media, error);
        // A link could publish any file this user may read, for everyone to read.
        if (fs::is_symlink(status))
            Fail(entry, "the media file " + media.string() + " is a symbolic link");
        if (!fs::is_regular_file(status))
            Fail(entry, "the media file " + media.string() + " is missing");
    }
    if (!anyProgramme)
        throw PublishError("the channel lists no programme");
}

std::string CatalogueXml(const std::vector<ChannelEntry>& entries) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<channel>\n";
    for (const ChannelEntry& entry : entries)
        xml += "  <item><type>" + entry.type + "</type><id>" + Escape(entry.id) + "</id><pid>" +
               Escape(entry.pid) + "</pid><name>" + Escape(entry.name) + "</name></item>\n";
    return xml + "</channel>\n";
}

void Publish(const PublishRequest& request) {
    std::error_code error;
    if (!fs::is_regular_file(request.channelFile, error))
        throw PublishError("cannot read the channel file " + request.channelFile);
    if (!fs::is_directory(request.mediaDir, error))
        throw PublishError("the media folder " + request.mediaDir + " does not exist");
    if (!request.baseUrl.starts_with("http://") && !request.baseUrl.starts_with("https://"))
        throw PublishError("the site address must start with http:// or https://");
    // It goes into platform.ini and the pages as it stands: a line break would add settings.
    if (HasControlCharacter(request.baseUrl) || request.baseUrl.find(' ') != std::string::npos)
        throw PublishError("the site address holds blanks or control characters");
    const std::vector<ChannelEntry> entries = ReadChannel(request.channelFile);
    CheckChannel(entries, request.mediaDir);

    const fs::path out = fs::absolute(fs::path(request.outDir)).lexically_normal();
    const fs::path target = out.has_filename() ? out : out.parent_path();
    if (!MayReplace(target))
        throw PublishError(target.string() + " exists and is not an earlier publication");
    fs::create_directories(target.parent_path(), error);
    std::string pattern =
        (target.parent_path() / ("." + target.filename().string() + ".publishing-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw PublishError("cannot create a folder beside " + target.string());
    const fs::path fresh = pattern;
    try {
        // The site is for everyone who may read the web server's files.
        fs::permissions(fresh, fs::perms(0755));
        std::string base = request.baseUrl;
        while (base.ends_with('/'))
            base.pop_back();
        PublishRequest cleaned = request;
        cleaned.baseUrl = base;
        WriteSite(cleaned, entries, fresh);
        Install(fresh, target);
    } catch (const fs::filesystem_error& fault) {
        fs::remove_all(fresh, error);
        throw PublishError(fault.what());
    } catch (...) {
        fs::remove_all(fresh, error);
        throw;
    }
}

} // namespace luming::site
