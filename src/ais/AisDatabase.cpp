#include "ais/AisDatabase.h"

#include "core/TextFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv {

namespace {

// A read-only view of a whole file, mapped when possible; closed when it goes out of scope.
class MappedFile {
public:
    explicit MappedFile(const std::string& path)
    {
        // Non-blocking: a FIFO in the database's place must not stop the program.
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd_ < 0) {
            return;
        }
        struct stat st { };
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            return;
        }
        size_ = static_cast<std::size_t>(st.st_size);
        if (size_ == 0) {
            ok_ = true;
            return;
        }
        void* p = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd_, 0);
        if (p == MAP_FAILED) {
            return;
        }
        data_ = static_cast<const unsigned char*>(p);
        ok_ = true;
    }
    ~MappedFile()
    {
        if (data_ != nullptr) {
            ::munmap(const_cast<unsigned char*>(data_), size_);
        }
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool ok() const { return ok_; }
    std::size_t records() const { return size_ / kTAISTargetSize; }
    const unsigned char* record(std::size_t i) const { return data_ + i * kTAISTargetSize; }
    std::size_t size() const { return size_; }

private:
    int fd_ = -1;
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    bool ok_ = false;
};

std::uint32_t MmsiOf(const unsigned char* record)
{
    std::uint32_t mmsi;
    std::memcpy(&mmsi, record + offsetof(TAISTarget, MMSI), sizeof mmsi);
    return mmsi;
}

} // namespace

std::optional<long> CountAisDatabase(const std::string& path)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::access(path.c_str(), R_OK) != 0) {
        return std::nullopt;
    }
    return static_cast<long>(static_cast<std::size_t>(st.st_size) / kTAISTargetSize);
}

std::optional<long> ForEachAisDatabaseMatch(
    const std::string& path, std::uint32_t mmsi, const std::function<void(const TAISTarget&)>& visit)
{
    const MappedFile file(path);
    if (!file.ok()) {
        return std::nullopt;
    }
    long matches = 0;
    const std::size_t n = file.records();
    for (std::size_t i = 0; i < n; ++i) {
        if (MmsiOf(file.record(i)) == mmsi) {
            ++matches;
            if (visit) {
                visit(FromImage(file.record(i)));
            }
        }
    }
    return matches;
}

std::optional<long> ForEachAisDatabaseRecord(
    const std::string& path, const std::function<void(const TAISTarget&)>& visit)
{
    const MappedFile file(path);
    if (!file.ok()) {
        return std::nullopt;
    }
    const std::size_t n = file.records();
    for (std::size_t i = 0; i < n; ++i) {
        visit(FromImage(file.record(i)));
    }
    return static_cast<long>(n);
}

bool SearchAisDatabase(const std::string& path, TAISTarget& target)
{
    const auto found = ForEachAisDatabaseMatch(path, target.MMSI, [&target](const TAISTarget& r) {
        target.IMO = r.IMO;
        target.VesselName = r.VesselName;
        target.CallSign = r.CallSign;
        target.ShipType = r.ShipType;
        target.DimA = r.DimA;
        target.DimB = r.DimB;
        target.DimC = r.DimC;
        target.DimD = r.DimD;
    });
    return found.has_value();
}

TAISTarget AisDatabaseRecord(const TAISTarget& t)
{
    TAISTarget r = ZeroTarget();
    r.MMSI = t.MMSI;
    r.IMO = t.IMO;
    r.VesselName = t.VesselName;
    r.CallSign = t.CallSign;
    r.ShipType = t.ShipType;
    r.DimA = t.DimA;
    r.DimB = t.DimB;
    r.DimC = t.DimC;
    r.DimD = t.DimD;
    r.Draught = t.Draught;
    return r;
}

bool AppendAisDatabaseRecord(const std::string& path, const TAISTarget& record)
{
    const AisRecordImage image = ToImage(record);
    return AppendWholeRecords(
        path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()), kTAISTargetSize);
}

} // namespace kv
