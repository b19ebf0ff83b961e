#pragma once

#include <cstdint>
#include <string>

namespace kestrivane {

// Tells the vendor site that a client started: GET <webBaseUrl>[/]login?version=<code>, bounded
// in time. True when the site answered with a 2xx status.
bool LogIn(int32_t clientVersionCode, const std::string& webBaseUrl);

} // namespace kestrivane
