#include "testsupport.h"

#include "inprocess.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "process.h"
#include "quenvar/files.h"

namespace fs = std::filesystem;

namespace qvtest {

TempDir::TempDir() : path_(makeTempDirectory()) {}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    // On Windows a tool that has just ended may hold the directory for a moment longer.
    for (int attempt = 0; attempt < 20 && fs::remove_all(path_, ec) == static_cast<std::uintmax_t>(-1); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

std::string TempDir::operator/(std::string_view name) const { return qv::joinPath(path_, name); }

void TempDir::write(std::string_view name, std::string_view bytes) const
{
    const fs::path p = fs::path(path_) / std::string(name);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + p.string());
}

std::string TempDir::read(std::string_view name) const
{
    std::ifstream in(fs::path(path_) / std::string(name), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + std::string(name));
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool TempDir::exists(std::string_view name) const { return fs::exists(fs::path(path_) / std::string(name)); }

std::vector<std::string> TempDir::entries() const
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string crlf(std::initializer_list<std::string_view> lines)
{
    std::string out;
    for (auto l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

}  // namespace qvtest
