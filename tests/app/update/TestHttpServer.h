// A tiny HTTP server on 127.0.0.1 for the update tests: canned answers by path (the query is
// ignored), one that accepts and never answers, and a count of the requests per path.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct CannedResponse {
    int status = 200;
    std::string body;
    bool hang = false;  // accept the request, never answer
};

class CTestHttpServer {
public:
    // A socket of the platform's sockets, kept out of this header so that it can follow windows.h.
    typedef uintptr_t Socket;
    static const Socket kNoSocket = ~Socket(0);

    CTestHttpServer();
    ~CTestHttpServer();
    CTestHttpServer(const CTestHttpServer&) = delete;
    CTestHttpServer& operator=(const CTestHttpServer&) = delete;

    bool Running() const { return m_listen != kNoSocket; }
    void Serve(const std::string& path, const CannedResponse& response);
    // "http://127.0.0.1:port" followed by "/" and prefix when one is given.
    std::wstring Root(const std::string& prefix = "") const;
    int Requests(const std::string& path) const;

    // A root on a port where nothing listens.
    static std::wstring RefusedRoot();

private:
    void Loop();
    void Answer(Socket s);

    Socket m_listen = kNoSocket;
    int m_nPort = 0;
    std::atomic<bool> m_bStop{false};
    mutable std::mutex m_mutex;
    std::map<std::string, CannedResponse> m_routes;
    std::map<std::string, int> m_requests;
    std::vector<Socket> m_hanging;
    std::thread m_thread;
};
