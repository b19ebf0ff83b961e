// Declared entities as a catalogue may use them: the input, cut at its zero bytes, gives the
// texts of entities e0, e1, … (which may refer to one another) and, last, the text of a
// programme's name that refers to them. Whatever they expand to, reading ends soon and holds
// no more text than the reader allows.
#include "catalogue/CatalogueReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace luming;

struct Measuring : ICatalogueSink {
    void Entry(const CatalogueEntry& entry) override { text += entry.name.size(); }
    std::size_t text = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string_view> parts;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t zero; (zero = input.find('\0')) != std::string_view::npos && parts.size() < 8;
         input.remove_prefix(zero + 1))
        parts.push_back(input.substr(0, zero));
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE channel [";
    for (std::size_t i = 0; i < parts.size(); ++i)
        xml += "<!ENTITY e" + std::to_string(i) + " \"" + std::string(parts[i]) + "\">";
    xml += "]>\n<channel><item><type>2</type><id>1</id><pid></pid><name>" + std::string(input) +
           "</name></item></channel>\n";
    Measuring sink;
    try {
        ReadCatalogueBytes(xml, sink);
    } catch (const CatalogueFormatError&) {
        return 0;
    }
    // The reader's own allowance: 16 MiB and four characters a byte of the file.
    if (sink.text > (std::size_t{16} << 20) + 4 * xml.size())
        std::abort();
    return 0;
}
