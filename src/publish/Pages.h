#pragma once

#include "publish/Channel.h"

#include <string>
#include <vector>

namespace luming::site {

// The vendor's pages, written for children and their parents: simple, friendly, and without
// any address outside this site.
std::string AudioPage(const std::vector<ChannelEntry>& channel);
// The latest news, with a programme recommended for today.
std::string NewsPage(const std::vector<ChannelEntry>& channel);
std::string StatusBarAdPage();
std::string ChannelAdPage(const std::vector<ChannelEntry>& channel);
std::string PauseAdPage();
std::string LinksPage(const std::vector<ChannelEntry>& channel);
std::string LinkOpenedElsewherePage();
// What the audio pane shows when the site cannot be reached; installed with the client.
std::string OfflineAudioPage();

// The link that names a programme: "TJID_" + enciphered id + "_" + name (spaces as "%20") +
// "_" + type + "_" + parent id.
std::string ProgrammeLink(const ChannelEntry& entry);

} // namespace luming::site
