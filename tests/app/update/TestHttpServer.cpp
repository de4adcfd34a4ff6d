#include <winsock2.h>

#include <ws2tcpip.h>

#include "tests/app/update/TestHttpServer.h"

namespace {

struct WinsockInit {
    WinsockInit() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
};

SOCKET ListenOnLoopback(int* pPort) {
    static WinsockInit s_init;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return s;
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    int len = sizeof addr;
    if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0 || ::listen(s, 8) != 0) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    *pPort = ntohs(addr.sin_port);
    return s;
}

bool Readable(SOCKET s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv = {ms / 1000, (ms % 1000) * 1000};
    return ::select(0, &set, nullptr, nullptr, &tv) == 1;
}

}  // namespace

CTestHttpServer::CTestHttpServer() {
    SOCKET s = ListenOnLoopback(&m_nPort);
    m_listen = s == INVALID_SOCKET ? kNoSocket : static_cast<Socket>(s);
    if (m_listen != kNoSocket) m_thread = std::thread([this] { Loop(); });
}

CTestHttpServer::~CTestHttpServer() {
    m_bStop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_listen != kNoSocket) ::closesocket(static_cast<SOCKET>(m_listen));
    for (Socket s : m_hanging) ::closesocket(static_cast<SOCKET>(s));
}

void CTestHttpServer::Serve(const std::string& path, const CannedResponse& response) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_routes[path] = response;
}

std::wstring CTestHttpServer::Root(const std::string& prefix) const {
    std::wstring root = L"http://127.0.0.1:" + std::to_wstring(m_nPort);
    if (!prefix.empty()) root += L"/" + std::wstring(prefix.begin(), prefix.end());
    return root;
}

int CTestHttpServer::Requests(const std::string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_requests.find(path);
    return it == m_requests.end() ? 0 : it->second;
}

std::wstring CTestHttpServer::RefusedRoot() {
    int port = 0;
    SOCKET s = ListenOnLoopback(&port);
    ::closesocket(s);
    return L"http://127.0.0.1:" + std::to_wstring(port);
}

void CTestHttpServer::Loop() {
    while (!m_bStop) {
        SOCKET listen = static_cast<SOCKET>(m_listen);
        if (!Readable(listen, 50)) continue;
        SOCKET s = ::accept(listen, nullptr, nullptr);
        if (s != INVALID_SOCKET) Answer(static_cast<Socket>(s));
    }
}

void CTestHttpServer::Answer(Socket socket) {
    SOCKET s = static_cast<SOCKET>(socket);
    std::string request;
    char buf[2048];
    while (request.find("\r\n\r\n") == std::string::npos && Readable(s, 5000)) {
        int n = ::recv(s, buf, sizeof buf, 0);
        if (n <= 0) break;
        request.append(buf, static_cast<size_t>(n));
    }
    size_t start = request.find(' ');
    size_t end = start == std::string::npos ? start : request.find_first_of(" ?", start + 1);
    std::string path = end == std::string::npos ? "" : request.substr(start + 1, end - start - 1);

    CannedResponse response;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_requests[path];
        auto it = m_routes.find(path);
        if (it != m_routes.end())
            response = it->second;
        else
            response = {404, "<html>not found</html>", false};
        if (response.hang) {
            m_hanging.push_back(socket);
            return;
        }
    }
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " Canned\r\n" +
                       "Content-Type: application/octet-stream\r\nCache-Control: no-store\r\n" +
                       "Content-Length: " + std::to_string(response.body.size()) +
                       "\r\nConnection: close\r\n\r\n";
    std::string all = head + response.body;
    size_t sent = 0;
    while (sent < all.size()) {
        int n = ::send(s, all.data() + sent, static_cast<int>(all.size() - sent), 0);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
    }
    ::shutdown(s, SD_SEND);
    Readable(s, 1000);  // let the client read before the socket goes
    ::closesocket(s);
}
