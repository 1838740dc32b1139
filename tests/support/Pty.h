#pragma once
// A pseudo-terminal standing in for a GPS/AIS receiver: tests write sentences to the master
// side and read back what the program sends; the slave side is the program's serial device.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

namespace kvtest {

struct Pty {
    int master = -1;
    int slave = -1;
    std::string slaveName;
    Pty()
    {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
            throw std::runtime_error("openpty failed");
        }
        slaveName = name;
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    }
    ~Pty()
    {
        hangUp();
        ::close(slave);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // Closing the master side is the receiver being unplugged.
    void hangUp()
    {
        if (master >= 0) {
            ::close(master);
            master = -1;
        }
    }
    void send(const std::string& s) const
    {
        if (::write(master, s.data(), s.size()) != static_cast<ssize_t>(s.size())) {
            ADD_FAILURE() << "short write to the pseudo-terminal";
        }
    }
    std::string readAll() const
    {
        std::string out;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0) {
                return out;
            }
            out.append(buffer, static_cast<std::size_t>(n));
        }
    }
};

} // namespace kvtest
