// kvtool simulate to a pseudo-terminal.

#include "SimulateSinks.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

namespace kvtool {

namespace {

// A pseudo-terminal standing in for a receiver on a serial port. Only the master side stays
// open here, so the kernel tells (POLLHUP) whether the program has the slave side open.
class PtySink final : public Sink {
public:
    bool open(const std::string& link)
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            return false;
        }
        const char* name = ::ptsname(master_);
        if (name == nullptr) {
            return false;
        }
        slave_ = name;
        // Raw from the start, so that nothing is echoed or translated before the program sets
        // the line up itself.
        const int slave = ::open(name, O_RDWR | O_NOCTTY);
        if (slave >= 0) {
            termios t {};
            if (::tcgetattr(slave, &t) == 0) {
                ::cfmakeraw(&t);
                ::tcsetattr(slave, TCSANOW, &t);
            }
            ::close(slave);
        }
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        if (!link.empty()) {
            std::error_code ec;
            if (std::filesystem::is_symlink(link, ec)) {
                std::filesystem::remove(link, ec);
            }
            if (::symlink(name, link.c_str()) != 0) {
                std::fprintf(
                    stderr, "kvtool simulate: cannot make the link %s: %s\n", link.c_str(), std::strerror(errno));
                return false;
            }
            link_ = link;
        }
        return true;
    }
    ~PtySink() override
    {
        if (!link_.empty()) {
            ::unlink(link_.c_str());
        }
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    const std::string& slave() const { return slave_; }

    bool waitForPeer() override
    {
        while (!gStop) {
            if (!hungUp()) {
                return true;
            }
            if (!link_.empty() && !linkIsOurs()) {
                // Another simulator (or the user) took the link: nobody will come here.
                std::fprintf(stderr, "kvtool simulate: %s no longer points to %s\n", link_.c_str(), slave_.c_str());
                link_.clear();
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    bool write(const std::string& text) override
    {
        drain();
        if (hungUp()) {
            // The program closed the port; it may open it again at once (the interface switched
            // off and on), so give it a few seconds before calling the voyage over.
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (hungUp()) {
                if (gStop || std::chrono::steady_clock::now() > until) {
                    return false;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::write(master_, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR && !gStop) {
                continue;
            }
            if (n < 0 && errno == EAGAIN) {
                // Nobody reads: the line overruns, as a real one would.
                return true;
            }
            if (n <= 0) {
                return !hungUp();
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    bool linkIsOurs() const
    {
        char target[512] = {};
        const ssize_t n = ::readlink(link_.c_str(), target, sizeof target - 1);
        return n > 0 && slave_ == std::string(target, static_cast<std::size_t>(n));
    }
    bool hungUp() const
    {
        pollfd p { master_, POLLIN, 0 };
        return ::poll(&p, 1, 0) > 0 && (p.revents & POLLHUP) != 0;
    }
    // What the program sends back (autopilot sentences) is read and dropped.
    void drain()
    {
        char buffer[4096];
        while (::read(master_, buffer, sizeof buffer) > 0) { }
    }

    int master_ = -1;
    std::string slave_;
    std::string link_;
};

} // namespace

std::unique_ptr<Sink> OpenPtySink(const std::string& link, std::string& slave)
{
    auto p = std::make_unique<PtySink>();
    if (!p->open(link)) {
        std::fprintf(stderr, "kvtool simulate: cannot make a pseudo-terminal: %s\n", std::strerror(errno));
        return nullptr;
    }
    slave = p->slave();
    return p;
}

} // namespace kvtool
