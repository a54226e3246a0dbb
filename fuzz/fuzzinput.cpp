#include "fuzzinput.h"

#include <fcntl.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace qvfuzz {

const std::string& workDir()
{
    static const std::string dir = [] {
        std::string pattern =
            access("/dev/shm", W_OK) == 0 ? "/dev/shm/quenvar-fuzz-XXXXXX" : "/tmp/quenvar-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        static std::string removeAtExit = pattern;
        std::atexit([] { std::filesystem::remove_all(removeAtExit); });
        return pattern;
    }();
    return dir;
}

qv::Files placeInput(const std::uint8_t* data, std::size_t size, const std::string& name)
{
    const std::string path = workDir() + "/" + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) throw std::runtime_error("cannot write fuzz input");
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = ::write(fd, data + done, size - done);
        if (put <= 0) break;
        done += static_cast<std::size_t>(put);
    }
    ::close(fd);
    return qv::Files(workDir());
}

}  // namespace qvfuzz
