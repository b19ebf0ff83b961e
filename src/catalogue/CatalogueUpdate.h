#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <thread>

namespace luming {

// The address of a channel's catalogue on the vendor's site: the catalogue base address
// (platform.ini) + channel + ".xml"; empty when there is no base address.
std::string CatalogueAddress(const std::string& catalogueBaseUrl, int channel);

// Why a catalogue may not replace the one a client has: not well-formed, no programme, or an id
// that two entries share. Empty for a catalogue that may.
std::string CatalogueFault(std::string_view bytes);

enum class CatalogueUpdateResult {
    Updated,     // a new catalogue is kept
    Unchanged,   // the site's catalogue is the one kept already
    Rejected,    // the site's catalogue is broken; the one kept stays
    Unreachable, // no answer, an error status, or a transfer cut short or stopped
};

// Asks `address` for the catalogue, conditionally on the validators (ETag, Last-Modified) of the
// copy kept at `file`, and keeps a new one that passes CatalogueFault at `file` atomically, with
// its validators beside it in `file` + ".validators" (header lines). Setting `stop` ends a
// transfer under way.
CatalogueUpdateResult UpdateCatalogue(const std::string& address, const std::string& file,
                                      const std::atomic<bool>& stop);

// UpdateCatalogue on a thread of its own, so that no one waits for the network; going away
// stops the transfer and waits for the thread. Nothing happens for an empty address.
class CatalogueUpdater {
public:
    CatalogueUpdater(std::string address, std::string file);
    ~CatalogueUpdater();
    CatalogueUpdater(const CatalogueUpdater&) = delete;
    CatalogueUpdater& operator=(const CatalogueUpdater&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace luming
