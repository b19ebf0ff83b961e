#include "playback/ResumePositions.h"

#include "config/AtomicFile.h"
#include "config/NumberText.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace luming {

namespace {

struct Section {
    std::string channel;
    std::vector<std::pair<std::string, std::string>> entries; // oldest first
};

// Lines outside a section, without "=", or with an empty key are dropped on the next write.
std::vector<Section> Parse(const std::string& text) {
    std::vector<Section> sections;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
            continue;
        }
        const size_t equals = line.find('=');
        if (sections.empty() || equals == std::string::npos || equals == 0)
            continue;
        sections.back().entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return sections;
}

std::string Format(const std::vector<Section>& sections) {
    std::string text;
    for (const Section& section : sections) {
        if (section.entries.empty())
            continue;
        text += "[" + section.channel + "]\n";
        for (const auto& [key, value] : section.entries)
            text += key + "=" + value + "\n";
    }
    return text;
}

std::vector<Section> Load(const std::string& path) {
    const auto text = ReadWholeFile(path);
    return text ? Parse(*text) : std::vector<Section>{};
}

// Takes the programme's entry out; the section, if any, moves to the end as the newest.
Section& Touch(std::vector<Section>& sections, const std::string& channel, const std::string& id) {
    auto found = std::find_if(sections.begin(), sections.end(),
                              [&](const Section& s) { return s.channel == channel; });
    Section section = found != sections.end() ? std::move(*found) : Section{channel, {}};
    if (found != sections.end())
        sections.erase(found);
    std::erase_if(section.entries, [&](const auto& entry) { return entry.first == id; });
    sections.push_back(std::move(section));
    return sections.back();
}

void DropOldest(std::vector<Section>& sections, size_t keep) {
    size_t count = 0;
    for (const Section& section : sections)
        count += section.entries.size();
    for (Section& section : sections) {
        while (count > keep && !section.entries.empty()) {
            section.entries.erase(section.entries.begin());
            --count;
        }
    }
}

} // namespace

ResumePositions::ResumePositions(std::string path) : path_(std::move(path)) {}

bool ResumePositions::WorthResuming(int32_t seconds, int32_t total) {
    return total > 0 && seconds >= kMinimumSeconds &&
           int64_t{seconds} * 100 <= int64_t{total} * kMaximumPercent;
}

std::optional<int32_t> ResumePositions::ResumeAt(int channel, const std::string& id,
                                                 int32_t total) const {
    for (const Section& section : Load(path_)) {
        if (section.channel != std::to_string(channel))
            continue;
        for (const auto& [key, value] : section.entries)
            if (key == id) {
                const auto seconds = ParseInt32(value);
                if (seconds && WorthResuming(*seconds, total))
                    return *seconds;
                return std::nullopt;
            }
    }
    return std::nullopt;
}

void ResumePositions::Left(int channel, const std::string& id, int32_t seconds, int32_t total) {
    if (id.empty() || id.front() == '[' || id.find_first_of("=\r\n") != std::string::npos)
        return; // an id that cannot stand as a key on its own line
    if (!WorthResuming(seconds, total))
        return Finished(channel, id);
    std::vector<Section> sections = Load(path_);
    Touch(sections, std::to_string(channel), id).entries.emplace_back(id, std::to_string(seconds));
    DropOldest(sections, kMaximumEntries);
    WriteFileAtomically(path_, Format(sections));
}

void ResumePositions::Finished(int channel, const std::string& id) {
    std::vector<Section> sections = Load(path_);
    const bool known = std::any_of(sections.begin(), sections.end(), [&](const Section& s) {
        return s.channel == std::to_string(channel) &&
               std::any_of(s.entries.begin(), s.entries.end(),
                           [&](const auto& entry) { return entry.first == id; });
    });
    if (!known)
        return; // nothing to forget: no write
    Touch(sections, std::to_string(channel), id);
    WriteFileAtomically(path_, Format(sections));
}

} // namespace luming
