#pragma once

#include "publish/Channel.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace luming::site {

// What a vendor publishes: a channel description (channel.tsv), the programmes as <id><ext> in
// a media folder, and the address the site will be served at (for the clients' platform.ini).
struct PublishRequest {
    std::string channelFile;
    std::string mediaDir;
    std::string baseUrl; // "http://host[:port]", no trailing slash
    std::string outDir;
    int channel = 26; // the channel number, which is also the edition of the pages
};

// A fault in the input; the message names the entry and what is wrong with it.
class PublishError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The site's files, relative to its root.
std::string CataloguePath(int channel); // "dl/xml/<channel>.xml"
inline constexpr const char* kLinkOpenedElsewherePath = "play/index.html";
inline constexpr const char* kLoginPath = "login";

// Throws PublishError at the first entry the catalogue or the site cannot hold: an unknown
// type, an id that is empty, repeated or (for a programme) not a whole number, a parent that is
// not a folder listed before it, a name a catalogue or a programme link cannot carry, a
// programme whose media file is missing.
void CheckChannel(const std::vector<ChannelEntry>& entries, const std::string& mediaDir);

// The catalogue the client reads, in UTF-8.
std::string CatalogueXml(const std::vector<ChannelEntry>& entries);

// Writes the site into a new folder beside `outDir` and then puts it in `outDir`'s place in one
// step (an earlier publication there is replaced); on any fault nothing at `outDir` changes
// and the new folder is removed. Throws PublishError.
void Publish(const PublishRequest& request);

} // namespace luming::site
