#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace luming {

// One entry of a catalogue file: the texts of its "type", "id", "pid" and "name" elements
// (empty when missing) and the line it starts on. The views last only for the call.
struct CatalogueEntry {
    std::string_view type;
    std::string_view id;
    std::string_view pid;
    std::string_view name;
    long line = 0;
};

// Receives the entries of a catalogue in file order.
class ICatalogueSink {
public:
    virtual ~ICatalogueSink() = default;
    virtual void Entry(const CatalogueEntry& entry) = 0;
    // An entry whose fields cannot be read as text (elements or comments inside a field).
    virtual void UnreadableEntry(long /*line*/) {}
};

// The file is not well-formed XML (or cannot be decoded in the encoding it declares).
class CatalogueFormatError : public std::runtime_error {
public:
    CatalogueFormatError(const std::string& message, long line);
    long line() const { return line_; }

private:
    long line_;
};

// The file cannot be opened or read.
class CatalogueFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Streams the entries of a catalogue: the children of the document element, whatever their
// names. The file's own encoding declaration (or byte-order mark) decides how it is decoded;
// values reach the sink as UTF-8, exactly as written (blanks and line breaks kept). No DTD or
// external entity is ever fetched. Throws CatalogueFormatError with the parser's message and line,
// after the sink may already have seen the entries before the fault.
void ReadCatalogueFile(const std::string& path, ICatalogueSink& sink);
void ReadCatalogueBytes(std::string_view bytes, ICatalogueSink& sink);

} // namespace luming
