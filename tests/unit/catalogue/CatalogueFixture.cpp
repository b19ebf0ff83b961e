#include "CatalogueFixture.h"

#include <filesystem>
#include <iconv.h>
#include <stdexcept>

namespace luming::test {

std::string CatalogueXml(const std::vector<Item>& items) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n";
    for (const Item& item : items)
        xml += "<item><type>" + item.type + "</type><id>" + item.id + "</id><pid>" + item.pid +
               "</pid><name>" + item.name + "</name></item>\n";
    return xml + "</root>\n";
}

std::string Encode(const std::string& utf8, const char* encoding) {
    iconv_t cd = iconv_open(encoding, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("no iconv for encoding");
    std::string out(utf8.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1))
        throw std::runtime_error("text not encodable");
    out.resize(out.size() - outLeft);
    return out;
}

ChannelFixture::ChannelFixture()
    : rules(tree, state, dir.dir(), dir.dir() + "Config/local.ini", player) {
    std::filesystem::create_directories(dir.path() / "Config");
    std::filesystem::create_directories(dir.path() / "Resource/xml");
    WriteFile(IniPath(), "[Info]\n1=1\n");
}

std::string ChannelFixture::IniPath() const {
    return dir.dir() + "Config/local.ini";
}

void ChannelFixture::WriteCatalogue(const std::string& bytes) {
    WriteFile(ChannelRules::CatalogueFileName(dir.dir(), kChannel), bytes);
}

void ChannelFixture::Click(NodeIndex node) {
    tree.Select(node);
    rules.tv1Click();
}

std::vector<int> ChannelFixture::Images() const {
    std::vector<int> images;
    for (NodeIndex node = 0; node < tree.Count(); ++node)
        images.push_back(tree.Image(node));
    return images;
}

} // namespace luming::test
