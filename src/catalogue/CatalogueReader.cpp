#include "catalogue/CatalogueReader.h"

#include <libxml/SAX2.h>
#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

namespace luming {

CatalogueFormatError::CatalogueFormatError(const std::string& message, long line)
    : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line) {}

namespace {

// Catalogues made on Windows say "gb2312" but hold any character of code page 936; GB18030 is
// a superset of both, so every such file decodes.
void WidenChineseEncodings() {
    static const bool done = [] {
        xmlInitParser();
        xmlAddEncodingAlias("GB18030", "GB2312");
        xmlAddEncodingAlias("GB18030", "GBK");
        xmlAddEncodingAlias("GB18030", "CP936");
        return true;
    }();
    (void)done;
}

constexpr std::array<const char*, 4> kFieldNames = {"type", "id", "pid", "name"};
constexpr int kNoField = -1;

// Depths of the elements, counting the document element as 1.
constexpr int kEntryDepth = 2;
constexpr int kFieldDepth = 3;

// Declared entities may stand for more text than they take, but not without bound: the text a
// catalogue yields may be this much more than its own bytes (text in the file's own encoding
// grows by half at most, as UTF-8), and a little over.
constexpr uint64_t kTextPerInputByte = 4;
constexpr uint64_t kTextAllowance = 16u << 20;
constexpr char kExpansionError[] = "the entities expand to far more text than the file holds";

struct ParseState {
    ICatalogueSink* sink = nullptr;
    xmlParserCtxtPtr context = nullptr;
    int depth = 0;
    int field = kNoField;
    bool unreadable = false;
    std::array<bool, 4> seen{};
    std::array<std::string, 4> values;
    long entryLine = 0;
    std::string error;
    long errorLine = 0;
    std::exception_ptr sinkFailure;
    const uint64_t* inputBytes = nullptr; // read from the file so far
    uint64_t text = 0;                    // characters the parser has given so far

    void StartEntry() {
        field = kNoField;
        unreadable = false;
        seen.fill(false);
        for (std::string& value : values)
            value.clear();
        entryLine = xmlSAX2GetLineNumber(context);
    }

    // The sink's exceptions must not unwind through the parser: they stop it and are thrown
    // again once it has returned.
    void EndEntry() {
        try {
            if (unreadable) {
                sink->UnreadableEntry(entryLine);
                return;
            }
            // Values stand as written: a parent id matches exactly, blanks and all.
            const CatalogueEntry entry{values[0], values[1], values[2], values[3], entryLine};
            sink->Entry(entry);
        } catch (...) {
            sinkFailure = std::current_exception();
            xmlStopParser(context);
        }
    }

    // Anything but text inside a field we read makes the entry unreadable.
    void NonTextInField() {
        if (depth >= kFieldDepth && field != kNoField)
            unreadable = true;
    }
};

ParseState& State(void* user) {
    return *static_cast<ParseState*>(user);
}

void OnStartElement(void* user, const xmlChar* localName, const xmlChar* prefix,
                    const xmlChar* /*uri*/, int, const xmlChar**, int, int, const xmlChar**) {
    ParseState& state = State(user);
    state.NonTextInField();
    ++state.depth;
    if (state.depth == kEntryDepth) {
        state.StartEntry();
    } else if (state.depth == kFieldDepth && prefix == nullptr) {
        const char* name = reinterpret_cast<const char*>(localName);
        for (size_t i = 0; i < kFieldNames.size(); ++i)
            if (std::strcmp(name, kFieldNames[i]) == 0 && !state.seen[i]) {
                state.seen[i] = true; // the first element of a name counts, as in a lookup
                state.field = static_cast<int>(i);
            }
    }
}

void OnEndElement(void* user, const xmlChar*, const xmlChar*, const xmlChar*) {
    ParseState& state = State(user);
    if (state.depth == kEntryDepth)
        state.EndEntry();
    else if (state.depth == kFieldDepth)
        state.field = kNoField;
    --state.depth;
}

void OnText(void* user, const xmlChar* text, int length) {
    ParseState& state = State(user);
    state.text += static_cast<uint64_t>(length);
    if (state.text > kTextAllowance + kTextPerInputByte * *state.inputBytes) {
        if (state.error.empty()) {
            state.error = kExpansionError;
            state.errorLine = xmlSAX2GetLineNumber(state.context);
        }
        xmlStopParser(state.context);
        return;
    }
    if (state.depth == kFieldDepth && state.field != kNoField)
        state.values[state.field].append(reinterpret_cast<const char*>(text), length);
}

void OnComment(void* user, const xmlChar*) {
    State(user).NonTextInField();
}

void OnInstruction(void* user, const xmlChar*, const xmlChar*) {
    State(user).NonTextInField();
}

void OnReference(void* user, const xmlChar*) {
    State(user).NonTextInField();
}

// Entities the document declares with their text are expanded (within libxml2's limits on
// nesting and loops, and ours on the text they add up to: OnText); external ones are never
// declared, so a reference to one is an error, and no file
// or address is ever loaded for it. The declarations live in a document of the parser's own.
void OnStartDocument(void* user) {
    xmlSAX2StartDocument(State(user).context);
}

void OnInternalSubset(void* user, const xmlChar* name, const xmlChar* externalId,
                      const xmlChar* systemId) {
    xmlSAX2InternalSubset(State(user).context, name, externalId, systemId);
}

void OnEntityDecl(void* user, const xmlChar* name, int type, const xmlChar* publicId,
                  const xmlChar* systemId, xmlChar* content) {
    if (type == XML_INTERNAL_GENERAL_ENTITY)
        xmlSAX2EntityDecl(State(user).context, name, type, publicId, systemId, content);
}

xmlEntityPtr OnGetEntity(void* user, const xmlChar* name) {
    return xmlSAX2GetEntity(State(user).context, name);
}

void OnError(void* user, xmlErrorPtr error) {
    ParseState& state = State(user);
    if (error == nullptr || error->level != XML_ERR_FATAL || !state.error.empty())
        return;
    state.error = error->message != nullptr ? error->message : "not well-formed";
    while (!state.error.empty() && (state.error.back() == '\n' || state.error.back() == ' '))
        state.error.pop_back();
    state.errorLine = error->line;
}

xmlSAXHandler MakeHandler() {
    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = OnStartElement;
    handler.endElementNs = OnEndElement;
    handler.characters = OnText;
    handler.cdataBlock = OnText;
    handler.comment = OnComment;
    handler.processingInstruction = OnInstruction;
    handler.reference = OnReference;
    handler.startDocument = OnStartDocument;
    handler.internalSubset = OnInternalSubset;
    handler.entityDecl = OnEntityDecl;
    handler.getEntity = OnGetEntity;
    handler.serror = OnError;
    return handler;
}

void Silently(void*, const char*, ...) {}

// libxml2 reports encoding faults on stderr as well; the caller gets them as an exception.
class QuietGenericErrors {
public:
    QuietGenericErrors() : handler_(xmlGenericError), context_(xmlGenericErrorContext) {
        xmlSetGenericErrorFunc(nullptr, Silently);
    }
    ~QuietGenericErrors() { xmlSetGenericErrorFunc(context_, handler_); }
    QuietGenericErrors(const QuietGenericErrors&) = delete;
    QuietGenericErrors& operator=(const QuietGenericErrors&) = delete;

private:
    xmlGenericErrorFunc handler_;
    void* context_;
};

struct ContextFree {
    void operator()(xmlParserCtxtPtr context) const {
        xmlFreeDoc(context->myDoc); // the document that held the declared entities
        context->myDoc = nullptr;
        xmlFreeParserCtxt(context);
    }
};
using Context = std::unique_ptr<xmlParserCtxt, ContextFree>;

// The input as the parser pulls it: the chunks `next` yields (an empty one ends the input). An
// exception of `next` waits until the parser has returned.
template <typename NextChunk> struct ChunkInput {
    NextChunk& next;
    std::string_view pending;
    std::exception_ptr failure;
    uint64_t read = 0;

    static int Read(void* self, char* buffer, int size) {
        auto& input = *static_cast<ChunkInput*>(self);
        try {
            if (input.pending.empty())
                input.pending = input.next();
        } catch (...) {
            input.failure = std::current_exception();
            return -1;
        }
        const size_t count = std::min(input.pending.size(), static_cast<size_t>(size));
        std::memcpy(buffer, input.pending.data(), count);
        input.pending.remove_prefix(count);
        input.read += count;
        return static_cast<int>(count);
    }
    static int Close(void*) { return 0; }
};

// Runs the parser over the chunks `next` yields. The parser pulls them, so a cut or empty file
// gets its own message ("Premature end of data in tag e", "Document is empty").
template <typename NextChunk> void Parse(ICatalogueSink& sink, NextChunk next) {
    WidenChineseEncodings();
    const QuietGenericErrors quiet;
    xmlSAXHandler handler = MakeHandler();
    ParseState state;
    state.sink = &sink;
    ChunkInput<NextChunk> input{next, {}, nullptr};
    state.inputBytes = &input.read;
    Context context(xmlCreateIOParserCtxt(&handler, &state, &ChunkInput<NextChunk>::Read,
                                          &ChunkInput<NextChunk>::Close, &input,
                                          XML_CHAR_ENCODING_NONE));
    if (!context)
        throw std::bad_alloc();
    state.context = context.get();
    xmlCtxtUseOptions(context.get(),
                      XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    xmlParseDocument(context.get());
    if (input.failure)
        std::rethrow_exception(input.failure);
    if (state.sinkFailure)
        std::rethrow_exception(state.sinkFailure);
    if (state.error == kExpansionError)
        throw CatalogueFormatError(state.error, state.errorLine);
    if (!context->wellFormed || state.depth != 0) {
        if (state.error.empty()) {
            const xmlError* last = xmlCtxtGetLastError(context.get());
            state.error =
                last != nullptr && last->message != nullptr ? last->message : "not well-formed";
            state.errorLine = xmlSAX2GetLineNumber(context.get());
        }
        throw CatalogueFormatError(state.error, state.errorLine);
    }
}

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

void ReadCatalogueFile(const std::string& path, ICatalogueSink& sink) {
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        throw CatalogueFileError("cannot open " + path);
    std::vector<char> buffer(256 * 1024);
    Parse(sink, [&]() -> std::string_view {
        const size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if (got == 0 && std::ferror(file.get()))
            throw CatalogueFileError("cannot read " + path);
        return {buffer.data(), got};
    });
}

void ReadCatalogueBytes(std::string_view bytes, ICatalogueSink& sink) {
    constexpr size_t kChunk = 256 * 1024;
    Parse(sink, [&]() -> std::string_view {
        const std::string_view chunk = bytes.substr(0, kChunk);
        bytes.remove_prefix(chunk.size());
        return chunk;
    });
}

} // namespace luming
