#include "HangUpOrigin.h"

#include "Origin.h"

namespace kestrivane::test {

HangUpOrigin::HangUpOrigin(std::size_t size, std::size_t cut)
    : bytes_(ProgrammeBytes(size)), cut_(cut),
      origin_([this](const ScriptedOrigin::Request& request, int connection) {
          Answer(request, connection);
      }) {}

void HangUpOrigin::Answer(const ScriptedOrigin::Request& request, int connection) const {
    if (!request.rangeFrom) {
        ScriptedOrigin::Send(connection, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" +
                                             bytes_.substr(0, cut_));
        return;
    }
    const std::size_t from = *request.rangeFrom;
    const std::string size = std::to_string(bytes_.size());
    if (from >= bytes_.size()) {
        ScriptedOrigin::Send(connection,
                             "HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */" +
                                 size + "\r\nContent-Length: 0\r\n\r\n");
        return;
    }
    ScriptedOrigin::Send(connection,
                         "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " +
                             std::to_string(from) + "-" + std::to_string(bytes_.size() - 1) + "/" +
                             size + "\r\nContent-Length: " + std::to_string(bytes_.size() - from) +
                             "\r\n\r\n" + bytes_.substr(from));
}

} // namespace kestrivane::test
