// kvtool simulate to a TCP client or a UDP destination.

#include "SimulateSinks.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kvtool {

namespace {

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR && !gStop) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool SplitHostPort(const std::string& text, std::string& host, std::string& port, const char* defaultHost)
{
    const auto colon = text.rfind(':');
    host = colon == std::string::npos ? defaultHost : text.substr(0, colon);
    port = colon == std::string::npos ? text : text.substr(colon + 1);
    if (host.empty()) {
        host = defaultHost;
    }
    return !port.empty() && port.find_first_not_of("0123456789") == std::string::npos && std::stoul(port) <= 65535;
}

class TcpSink final : public Sink {
public:
    // Prints "HOST:PORT" once listening.
    bool open(const std::string& where)
    {
        std::string host, port;
        if (!SplitHostPort(where, host, port, "127.0.0.1")) {
            std::fprintf(stderr, "kvtool simulate: --tcp takes [HOST:]PORT, not \"%s\"\n", where.c_str());
            return false;
        }
        addrinfo hints {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_PASSIVE;
        addrinfo* found = nullptr;
        if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr) {
            std::fprintf(stderr, "kvtool simulate: cannot resolve %s\n", host.c_str());
            return false;
        }
        listener_ = ::socket(found->ai_family, SOCK_STREAM, 0);
        const int one = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        const bool ok = listener_ >= 0 && ::bind(listener_, found->ai_addr, found->ai_addrlen) == 0
            && ::listen(listener_, 1) == 0;
        ::freeaddrinfo(found);
        if (!ok) {
            std::fprintf(stderr, "kvtool simulate: cannot listen on %s:%s: %s\n", host.c_str(), port.c_str(),
                std::strerror(errno));
            return false;
        }
        sockaddr_storage bound {};
        socklen_t length = sizeof bound;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length);
        const int actual = bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                                       : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
        address_ = host + ":" + std::to_string(actual);
        return true;
    }
    ~TcpSink() override
    {
        if (client_ >= 0) {
            ::close(client_);
        }
        if (listener_ >= 0) {
            ::close(listener_);
        }
    }
    const std::string& address() const { return address_; }

    bool waitForPeer() override
    {
        while (!gStop) {
            pollfd p { listener_, POLLIN, 0 };
            if (::poll(&p, 1, 200) > 0) {
                client_ = ::accept(listener_, nullptr, nullptr);
                if (client_ >= 0) {
                    return true;
                }
            }
        }
        return false;
    }

    bool write(const std::string& text) override
    {
        // A client that closed its side reads as end of file; what it sends is dropped.
        char buffer[4096];
        ssize_t n;
        while ((n = ::recv(client_, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) { }
        if (n == 0) {
            return false;
        }
        return WriteAll(client_, text);
    }

private:
    int listener_ = -1;
    int client_ = -1;
    std::string address_;
};

class UdpSink final : public Sink {
public:
    bool open(const std::string& where)
    {
        std::string host, port;
        if (!SplitHostPort(where, host, port, "127.0.0.1")) {
            std::fprintf(stderr, "kvtool simulate: --udp takes HOST:PORT, not \"%s\"\n", where.c_str());
            return false;
        }
        addrinfo hints {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* found = nullptr;
        if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr) {
            std::fprintf(stderr, "kvtool simulate: cannot resolve %s\n", host.c_str());
            return false;
        }
        socket_ = ::socket(found->ai_family, SOCK_DGRAM, 0);
        const bool ok = socket_ >= 0 && ::connect(socket_, found->ai_addr, found->ai_addrlen) == 0;
        ::freeaddrinfo(found);
        return ok;
    }
    ~UdpSink() override
    {
        if (socket_ >= 0) {
            ::close(socket_);
        }
    }
    bool write(const std::string& text) override
    {
        // Whole sentences to a datagram, well inside an Ethernet frame. Nobody listening is no
        // reason to stop: the program may come later.
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = start;
            while (end < text.size()) {
                const std::size_t next = text.find('\n', end);
                const std::size_t stop = next == std::string::npos ? text.size() : next + 1;
                if (stop - start > 1400 && end > start) {
                    break;
                }
                end = stop;
            }
            ::send(socket_, text.data() + start, end - start, MSG_NOSIGNAL);
            start = end;
        }
        return true;
    }

private:
    int socket_ = -1;
};

} // namespace

std::unique_ptr<Sink> OpenTcpSink(const std::string& where, std::string& address)
{
    auto t = std::make_unique<TcpSink>();
    if (!t->open(where)) {
        return nullptr;
    }
    address = t->address();
    return t;
}

std::unique_ptr<Sink> OpenUdpSink(const std::string& where)
{
    auto u = std::make_unique<UdpSink>();
    if (!u->open(where)) {
        std::fprintf(stderr, "kvtool simulate: cannot send to %s\n", where.c_str());
        return nullptr;
    }
    return u;
}

} // namespace kvtool
