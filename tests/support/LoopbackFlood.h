#pragma once
// Hostile peers on 127.0.0.1 for the tests of network sources: a sender that never pauses, on its
// own thread so that it keeps sending while the program under test is busy. Every flood ends by
// itself after its time, so that a program that never gives the test its turn back still ends.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace kvtest {

class LoopbackFlood {
public:
    enum class Kind { Udp, Tcp };

    // Unit n of the flood, n = 0, 1, 2, ...
    using Units = std::function<std::string(std::uint64_t)>;

    // Udp: the units in turn, one datagram each, to `port`. Tcp: a server on a port of its own
    // (port()) that sends the units in turn to the first client it accepts. Units made as they go
    // let a flood carry what a receiver sends: positions whose time moves on and never repeats.
    LoopbackFlood(Kind kind, Units units, int seconds, std::uint16_t port = 0)
        : kind_(kind)
        , units_(std::move(units))
        , end_(std::chrono::steady_clock::now() + std::chrono::seconds(seconds))
    {
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        address_ = a;
        if (kind_ == Kind::Tcp) {
            listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
            socklen_t size = sizeof a;
            if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(listener_, 4) != 0
                || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &size) != 0) {
                return;
            }
            port_ = ntohs(a.sin_port);
        }
        thread_ = std::thread([this] { kind_ == Kind::Udp ? sendDatagrams() : serve(); });
    }
    // The same few units again and again.
    LoopbackFlood(Kind kind, std::vector<std::string> units, int seconds, std::uint16_t port = 0)
        : LoopbackFlood(
            kind, [units = std::move(units)](std::uint64_t n) { return units[n % units.size()]; }, seconds, port)
    {
    }
    ~LoopbackFlood()
    {
        stop();
        if (listener_ >= 0) {
            ::close(listener_);
        }
    }
    LoopbackFlood(const LoopbackFlood&) = delete;
    LoopbackFlood& operator=(const LoopbackFlood&) = delete;

    std::uint16_t port() const { return port_; }
    bool running() const { return running_; }
    bool accepted() const { return accepted_; }
    std::uint64_t unitsSent() const { return sent_; }
    void stop()
    {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    bool timeLeft() const { return !stop_ && std::chrono::steady_clock::now() < end_; }

    void sendDatagrams()
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        std::uint64_t next = 0;
        while (timeLeft()) {
            for (int i = 0; i < 64; ++i) {
                const std::string unit = units_(next++);
                if (::sendto(
                        fd, unit.data(), unit.size(), 0, reinterpret_cast<const sockaddr*>(&address_), sizeof address_)
                    > 0) {
                    ++sent_;
                }
            }
        }
        ::close(fd);
        running_ = false;
    }

    void serve()
    {
        int client = -1;
        while (client < 0 && timeLeft()) {
            pollfd p { listener_, POLLIN, 0 };
            if (::poll(&p, 1, 50) > 0) {
                client = ::accept(listener_, nullptr, nullptr);
            }
        }
        accepted_ = client >= 0;
        std::size_t at = 0;
        std::uint64_t next = 0;
        std::string unit = units_(next);
        while (client >= 0 && timeLeft()) {
            pollfd p { client, POLLOUT, 0 };
            if (::poll(&p, 1, 50) <= 0) {
                continue;
            }
            const ssize_t n = ::send(client, unit.data() + at, unit.size() - at, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0) {
                if (errno == EAGAIN || errno == EINTR) {
                    continue;
                }
                break;
            }
            at += static_cast<std::size_t>(n);
            if (at == unit.size()) {
                at = 0;
                unit = units_(++next);
                ++sent_;
            }
        }
        if (client >= 0) {
            ::close(client);
        }
        running_ = false;
    }

    Kind kind_;
    Units units_;
    std::chrono::steady_clock::time_point end_;
    sockaddr_in address_ {};
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_ { false };
    std::atomic<bool> running_ { true };
    std::atomic<bool> accepted_ { false };
    std::atomic<std::uint64_t> sent_ { 0 };
    std::thread thread_;
};

} // namespace kvtest
