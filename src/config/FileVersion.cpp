#include "config/FileVersion.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <vector>

#include <unistd.h>

namespace luming {

namespace {

constexpr char kStampMagic[4] = {'L', 'M', 'V', '1'};
constexpr size_t kStampSize = 12; // magic + four little-endian 16-bit parts

bool ReadAt(std::ifstream& file, uint64_t offset, void* out, size_t size) {
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(static_cast<char*>(out), static_cast<std::streamsize>(size));
    return file.gcount() == static_cast<std::streamsize>(size);
}

uint16_t LittleEndian16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

} // namespace

std::optional<FileRange> FindElfSection(const std::string& path, const std::string& name) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;

    Elf64_Ehdr header{};
    if (!ReadAt(file, 0, &header, sizeof header) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_shentsize != sizeof(Elf64_Shdr) ||
        header.e_shstrndx >= header.e_shnum)
        return std::nullopt;

    std::vector<Elf64_Shdr> sections(header.e_shnum);
    if (!ReadAt(file, header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr)))
        return std::nullopt;

    const Elf64_Shdr& names = sections[header.e_shstrndx];
    if (names.sh_size == 0 || names.sh_size > (1u << 24))
        return std::nullopt;
    std::vector<char> table(names.sh_size + 1, '\0');
    if (!ReadAt(file, names.sh_offset, table.data(), names.sh_size))
        return std::nullopt;

    for (const Elf64_Shdr& section : sections) {
        if (section.sh_name >= names.sh_size || section.sh_type == SHT_NOBITS)
            continue;
        if (name == &table[section.sh_name])
            return FileRange{section.sh_offset, section.sh_size};
    }
    return std::nullopt;
}

std::optional<FileVersion> ReadFileVersion(const std::string& path) {
    const auto range = FindElfSection(path, kVersionSectionName);
    if (!range || range->size < kStampSize)
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    unsigned char stamp[kStampSize];
    if (!ReadAt(file, range->offset, stamp, sizeof stamp) ||
        std::memcmp(stamp, kStampMagic, sizeof kStampMagic) != 0)
        return std::nullopt;
    return FileVersion{LittleEndian16(stamp + 4), LittleEndian16(stamp + 6),
                       LittleEndian16(stamp + 8), LittleEndian16(stamp + 10)};
}

std::string RunningExecutablePath() {
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return length > 0 ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
}

std::string GetFileVersionText() {
    const auto version = ReadFileVersion(RunningExecutablePath());
    if (!version)
        return "0.0.0.0";
    return std::to_string(version->major) + "." + std::to_string(version->minor) + "." +
           std::to_string(version->release) + "." + std::to_string(version->build);
}

int GetBuildNumber() {
    const auto version = ReadFileVersion(RunningExecutablePath());
    return version ? version->build : 0;
}

} // namespace luming
