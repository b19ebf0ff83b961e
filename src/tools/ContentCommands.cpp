#include "content/ContentAddress.h"
#include "content/ContentError.h"
#include "content/Des.h"
#include "content/ProgrammeLink.h"
#include "tools/ToolCommand.h"

#include <array>
#include <ostream>

namespace luming::tool {

namespace {

constexpr int kUsageError = 64;

// TEXT [KEY]: the key defaults to the content key.
bool TextAndKey(const Arguments& arguments, std::string_view& text, std::string_view& key) {
    if (arguments.empty() || arguments.size() > 2)
        return false;
    text = arguments[0];
    key = arguments.size() == 2 ? std::string_view(arguments[1]) : ContentKey;
    return true;
}

int DesEncryptCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    std::string_view text, key;
    if (!TextAndKey(arguments, text, key)) {
        err << "usage: luming-tool des-encrypt TEXT [KEY]\n";
        return kUsageError;
    }
    out << EncryptToHex(text, key) << '\n';
    return 0;
}

int DesDecryptCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    std::string_view hex, key;
    if (!TextAndKey(arguments, hex, key)) {
        err << "usage: luming-tool des-decrypt HEX [KEY]\n";
        return kUsageError;
    }
    out << DecryptFromHex(hex, key) << '\n';
    return 0;
}

int ContentUrlCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.size() != 3) {
        err << "usage: luming-tool content-url BASE ID TYPE\n";
        return kUsageError;
    }
    try {
        out << SourceUrlFor(arguments[0], arguments[1], arguments[2]) << '\n';
        return 0;
    } catch (const ContentError& error) {
        err << "luming-tool: " << error.what() << '\n';
        return 1;
    }
}

int ParseLinkCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.size() != 1) {
        err << "usage: luming-tool parse-link ADDRESS\n";
        return kUsageError;
    }
    if (!LinkPayload(arguments[0]))
        return 2;
    const auto record = ParseProgrammeLink(arguments[0]);
    if (!record)
        return 3;
    out << record->Id << '\t' << record->Name << '\t' << record->FileType << '\t' << record->Pid
        << '\n';
    return 0;
}

constexpr std::array kCommands = {
    ToolCommand{"des-encrypt", "TEXT [KEY]",
                "TEXT enciphered as upper-case hex (KEY defaults to the content key)",
                &DesEncryptCommand},
    ToolCommand{"des-decrypt", "HEX [KEY]",
                "the plain text of HEX (an empty line when it does not decipher)",
                &DesDecryptCommand},
    ToolCommand{"content-url", "BASE ID TYPE",
                "the content address of programme ID of type TYPE under download base BASE",
                &ContentUrlCommand},
    ToolCommand{"parse-link", "ADDRESS",
                "Id, Name, FileType and Pid of a programme link, tab-separated (exit 2: no "
                "TJID_ marker, 3: fewer than four items)",
                &ParseLinkCommand},
};

} // namespace

std::span<const ToolCommand> ContentCommands() {
    return kCommands;
}

} // namespace luming::tool
