// Build step: reads the lines of Unicode's Unihan data (Unihan_Readings.txt and
// Unihan_Variants.txt, on standard input) and writes the tables of HanziData.h as C++ source:
// each character's simplified form and its pinyin readings without tones.
//
//   MakeHanziData OUTPUT.cpp < Unihan lines
//
// Readings are the modern ones (kMandarin, kXHC1983, kTGHZ2013, kHanyuPinlu); a character none
// of them knows takes the Hanyu Da Zidian's (kHanyuPinyin). A traditional character also reads
// as its simplified form, so a name written either way has the same readings.
#include "config/TextEncoding.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using luming::NextCodePoint;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        if (!part.empty())
            parts.push_back(part);
    return parts;
}

// "U+9759" (anything after the number, such as a "<source" note, is ignored).
char32_t ParseCodePoint(const std::string& text) {
    if (text.rfind("U+", 0) != 0)
        throw std::runtime_error("not a code point: " + text);
    return static_cast<char32_t>(std::stoul(text.substr(2), nullptr, 16));
}

// The letter a toned pinyin letter is written with; 0 for a combining mark, which is dropped.
char BaseLetter(char32_t c) {
    struct Toned {
        char base;
        std::u32string_view letters;
    };
    static constexpr Toned kToned[] = {{'a', U"āáǎà"}, {'e', U"ēéěèêếề"}, {'i', U"īíǐì"},
                                       {'o', U"ōóǒò"}, {'u', U"ūúǔù"},    {'v', U"üǖǘǚǜ"},
                                       {'n', U"ńňǹ"},  {'m', U"ḿ"}};
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c);
    if (c >= 0x300 && c <= 0x36F)
        return 0;
    for (const Toned& toned : kToned)
        if (toned.letters.find(c) != std::u32string_view::npos)
            return toned.base;
    std::ostringstream message;
    message << "unknown letter in a reading: U+" << std::hex << std::uppercase
            << static_cast<uint32_t>(c);
    throw std::runtime_error(message.str());
}

// A toned reading ("lǜ") as typed: "lv", and "lu" too, since children type ü either way.
std::vector<std::string> Spellings(const std::string& reading) {
    std::string letters;
    for (size_t at = 0; at < reading.size();)
        if (const char letter = BaseLetter(NextCodePoint(reading, at)))
            letters += letter;
    if (letters.empty())
        throw std::runtime_error("empty reading");
    std::vector<std::string> spellings = {letters};
    if (letters.find('v') != std::string::npos) {
        std::string u = letters;
        for (char& letter : u)
            if (letter == 'v')
                letter = 'u';
        spellings.push_back(u);
    }
    return spellings;
}

struct Unihan {
    std::map<char32_t, std::set<std::string>> modern;
    std::map<char32_t, std::set<std::string>> dictionary;
    std::map<char32_t, std::vector<char32_t>> simplifiedVariants;

    void AddReadings(std::set<std::string>& into, const std::string& reading) {
        for (std::string& spelling : Spellings(reading))
            into.insert(std::move(spelling));
    }

    void Read(std::istream& in) {
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            const std::vector<std::string> columns = Split(line, '\t');
            if (columns.size() != 3)
                continue;
            const char32_t code = ParseCodePoint(columns[0]);
            const std::string& field = columns[1];
            const std::vector<std::string> values = Split(columns[2], ' ');
            if (field == "kSimplifiedVariant") {
                for (const std::string& value : values)
                    simplifiedVariants[code].push_back(ParseCodePoint(value));
            } else if (field == "kMandarin") {
                for (const std::string& value : values)
                    AddReadings(modern[code], value);
            } else if (field == "kXHC1983" || field == "kTGHZ2013") { // "0683.040:lè"
                for (const std::string& value : values)
                    AddReadings(modern[code], value.substr(value.rfind(':') + 1));
            } else if (field == "kHanyuPinlu") { // "lè(283)"
                for (const std::string& value : values)
                    AddReadings(modern[code], value.substr(0, value.find('(')));
            } else if (field == "kHanyuPinyin") { // "10668.030:ńg,ń"
                for (const std::string& value : values)
                    for (const std::string& reading :
                         Split(value.substr(value.rfind(':') + 1), ','))
                        AddReadings(dictionary[code], reading);
            }
        }
    }

    // A character that is not among its own simplified variants is traditional: it becomes
    // the first of them (and that one's, should it be traditional too).
    char32_t SimplifiedOf(char32_t code) const {
        for (int step = 0; step < 4; ++step) {
            const auto found = simplifiedVariants.find(code);
            if (found == simplifiedVariants.end() || found->second.empty())
                return code;
            const std::vector<char32_t>& variants = found->second;
            for (const char32_t variant : variants)
                if (variant == code)
                    return code;
            code = variants.front();
        }
        return code;
    }

    std::set<std::string> ReadingsOf(char32_t code) const {
        if (const auto found = modern.find(code); found != modern.end())
            return found->second;
        if (const auto found = dictionary.find(code); found != dictionary.end())
            return found->second;
        return {};
    }
};

template <typename Number>
void WriteNumbers(std::ostream& out, const std::vector<Number>& numbers) {
    for (size_t i = 0; i < numbers.size(); ++i)
        out << (i % 16 == 0 ? "\n    " : " ") << static_cast<uint64_t>(numbers[i]) << ',';
    out << '\n';
}

template <typename Number> Number Checked(size_t value, const char* what) {
    if (value > static_cast<size_t>(static_cast<Number>(-1)))
        throw std::runtime_error(std::string("too many ") + what);
    return static_cast<Number>(value);
}

void Write(const Unihan& unihan, std::ostream& out) {
    std::set<char32_t> characters;
    for (const auto& [code, readings] : unihan.modern)
        characters.insert(code);
    for (const auto& [code, readings] : unihan.dictionary)
        characters.insert(code);
    for (const auto& [code, variants] : unihan.simplifiedVariants)
        characters.insert(code);

    std::map<char32_t, std::pair<char32_t, std::set<std::string>>> entries;
    std::set<std::string> syllableSet;
    size_t traditional = 0, read = 0;
    for (const char32_t code : characters) {
        const char32_t simplified = unihan.SimplifiedOf(code);
        std::set<std::string> readings = unihan.ReadingsOf(code);
        if (simplified != code) {
            ++traditional;
            readings.merge(unihan.ReadingsOf(simplified));
        }
        if (!readings.empty())
            ++read;
        syllableSet.insert(readings.begin(), readings.end());
        entries[code] = {simplified == code ? 0 : simplified, std::move(readings)};
    }
    // A short or damaged input must not pass for the data.
    if (read < 20000 || traditional < 2000)
        throw std::runtime_error("the input lacks Unihan's readings or variants (" +
                                 std::to_string(read) + " characters with readings, " +
                                 std::to_string(traditional) + " traditional ones)");

    const std::vector<std::string> syllables(syllableSet.begin(), syllableSet.end());
    std::map<std::string, uint16_t> syllableNumber;
    std::string syllableText;
    std::vector<uint16_t> syllableStart = {0};
    for (const std::string& syllable : syllables) {
        syllableNumber[syllable] = Checked<uint16_t>(syllableNumber.size(), "syllables");
        syllableText += syllable;
        syllableStart.push_back(Checked<uint16_t>(syllableText.size(), "syllable letters"));
    }

    std::map<std::vector<uint16_t>, uint16_t> setNumber = {{{}, 0}};
    std::vector<uint32_t> setStart = {0, 0};
    std::vector<uint16_t> setSyllables;
    std::map<std::pair<char32_t, uint16_t>, uint16_t> characterNumber = {{{0, 0}, 0}};
    std::vector<std::pair<char32_t, uint16_t>> characterTable = {{0, 0}};
    std::map<char32_t, uint16_t> characterOf;
    for (const auto& [code, entry] : entries) {
        std::vector<uint16_t> set;
        for (const std::string& reading : entry.second)
            set.push_back(syllableNumber.at(reading));
        auto [found, added] = setNumber.try_emplace(set, 0);
        if (added) {
            found->second = Checked<uint16_t>(setStart.size() - 1, "reading sets");
            setSyllables.insert(setSyllables.end(), set.begin(), set.end());
            setStart.push_back(Checked<uint32_t>(setSyllables.size(), "set entries"));
        }
        const std::pair<char32_t, uint16_t> character = {entry.first, found->second};
        auto [number, isNew] = characterNumber.try_emplace(character, 0);
        if (isNew) {
            number->second = Checked<uint16_t>(characterTable.size(), "characters");
            characterTable.push_back(character);
        }
        characterOf[code] = number->second;
    }

    const size_t pageCount = (characterOf.rbegin()->first >> 8) + 1;
    std::vector<uint16_t> pageOf(pageCount, 0);
    std::vector<std::vector<uint16_t>> pages = {std::vector<uint16_t>(256, 0)};
    for (const auto& [code, number] : characterOf) {
        uint16_t& page = pageOf[code >> 8];
        if (page == 0) {
            page = Checked<uint16_t>(pages.size(), "pages");
            pages.emplace_back(256, 0);
        }
        pages[page][code & 0xFF] = number;
    }

    out << "// Made at build time by MakeHanziData from Unicode's Unihan data; not to be edited.\n"
           "#include \"catalogue/HanziData.h\"\n\n"
           "namespace luming::hanzi_data {\n\n"
           "extern const char kSyllableText[] = \""
        << syllableText << "\";\nextern const uint16_t kSyllableStart[] = {";
    WriteNumbers(out, syllableStart);
    out << "};\nextern const size_t kSyllableCount = " << syllables.size() << ";\n\n";
    out << "extern const uint32_t kSetStart[] = {";
    WriteNumbers(out, setStart);
    out << "};\nextern const uint16_t kSetSyllables[] = {";
    WriteNumbers(out, setSyllables);
    out << "};\nextern const size_t kSetCount = " << setStart.size() - 1 << ";\n\n";
    out << "extern const Hanzi kCharacters[] = {";
    for (size_t i = 0; i < characterTable.size(); ++i)
        out << (i % 8 == 0 ? "\n    " : " ") << '{'
            << static_cast<uint32_t>(characterTable[i].first) << ", " << characterTable[i].second
            << "},";
    out << "\n};\nextern const uint16_t kPageOf[] = {";
    WriteNumbers(out, pageOf);
    out << "};\nextern const size_t kPageCount = " << pageCount << ";\n";
    out << "extern const uint16_t kPages[][256] = {\n";
    for (const std::vector<uint16_t>& page : pages) {
        out << "{";
        WriteNumbers(out, page);
        out << "},\n";
    }
    out << "};\n\n} // namespace luming::hanzi_data\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: MakeHanziData OUTPUT.cpp < Unihan lines\n";
        return 64;
    }
    try {
        Unihan unihan;
        unihan.Read(std::cin);
        // Written beside the target and renamed, so that a failed run leaves no half table.
        const std::string output = argv[1];
        const std::string partial = output + ".partial";
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            Write(unihan, out);
            if (!out.flush())
                throw std::runtime_error("cannot write " + partial);
        }
        if (std::rename(partial.c_str(), output.c_str()) != 0)
            throw std::runtime_error("cannot write " + output);
    } catch (const std::exception& error) {
        std::cerr << "MakeHanziData: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
