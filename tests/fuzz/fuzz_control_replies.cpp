// What Tor's control port answers to "Obtain the list of countries": the router status and then the country
// answers, from a peer that sent the input and closed its end of a socket pair.
#include "platform/tcp_connection.h"
#include "tor/control_socket.h"
#include "tor/country_table.h"
#include "tor/reply_readers.h"
#include "tor/router_status.h"

#include <sys/socket.h>
#include <unistd.h>

using namespace quorvel;

namespace {

// Reads what the program reads, as LoadExitCountries does, without a controller around it.
void ReadAnswers(ControlSocket& socket) {
    constexpr std::chrono::milliseconds kWait{200};
    std::string status;
    ReadRouterStatus(
        socket, status, [](int) {}, kWait);
    RouterStatusReader routers(status);
    std::string routerText;
    std::string answer;
    while (routers.Next(routerText)) {
        if (!IsExitRouter(routerText)) {
            continue;
        }
        RouterNickname(routerText);
        RouterAddress(routerText);
        if (ReadReplyOutcome(socket, answer, kWait) == ReplyOutcome::NoAnswer) {
            break;
        }
        const std::size_t equals = answer.find('=');
        CountryNameFromCode(equals == std::string::npos ? answer : answer.substr(equals + 1, 2));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The whole input must fit into the socket's buffer before anything reads it.
    if (size > 100000) {
        return 0;
    }
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return 0;
    }
    const int buffer = 1 << 20;
    ::setsockopt(ends[1], SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    auto peer = TcpConnection::Adopt(ends[1]);
    peer->Send(std::string_view(reinterpret_cast<const char*>(data), size));
    peer->Close();
    ControlSocket socket(TcpConnection::Adopt(ends[0]));
    ReadAnswers(socket);
    return 0;
}
