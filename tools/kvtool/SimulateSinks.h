#pragma once
// Where kvtool simulate writes its sentences: standard output, a pseudo-terminal standing in for a
// receiver on a serial port, one TCP client or a UDP destination. The command paces the voyage;
// these only wait for a reader and write.

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>

namespace kvtool {

// Set by the command's signal handler: a wait or a write below gives up at once.
inline volatile std::sig_atomic_t gStop = 0;

// Where the sentences go. write() returns false when the peer has gone for good.
class Sink {
public:
    virtual ~Sink() = default;
    // Blocks until there is someone to write to; false when stopped first.
    virtual bool waitForPeer() { return true; }
    virtual bool write(const std::string& text) = 0;
};

class FileSink final : public Sink {
public:
    bool write(const std::string& text) override
    {
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
    }
};

// Each of these says on standard error why it could not open, and returns null then.
// A pseudo-terminal (and the link `link` to it when not empty); `slave` gets the path of its
// slave side, which the program opens as its serial port.
std::unique_ptr<Sink> OpenPtySink(const std::string& link, std::string& slave);
// Listening for one client on [HOST:]PORT; `address` gets the "HOST:PORT" it listens on.
std::unique_ptr<Sink> OpenTcpSink(const std::string& where, std::string& address);
// Datagrams to HOST:PORT.
std::unique_ptr<Sink> OpenUdpSink(const std::string& where);

} // namespace kvtool
