#pragma once

#include <string>

namespace luming {

// Where the web engine reads its options, before the application exists.
constexpr char kEngineFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

// The user's engine options with one renderer process per site added: the vendor's pages
// (advertising, audio page, news) then share one instead of one per view, about 20 MB each.
// Ruffle's view has a profile of its own and keeps a renderer of its own, which goes with it.
std::string WithRendererPerSite(const std::string& userFlags);

} // namespace luming
