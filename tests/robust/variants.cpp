#include "variants.h"

#include <algorithm>
#include <cctype>

namespace qvtest {

namespace {

// Offsets just after each comma or line end: the field boundaries of the file.
std::vector<std::size_t> boundaries(const std::string& s)
{
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i] == ',' || s[i] == '\n') at.push_back(i + 1);
    return at;
}

std::vector<std::size_t> spread(const std::vector<std::size_t>& all, std::size_t most)
{
    if (all.size() <= most) return all;
    std::vector<std::size_t> some;
    for (std::size_t k = 0; k < most; ++k) some.push_back(all[k * all.size() / most]);
    return some;
}

// Replaces the n-th bare number of the file (counting from 0) by `with`.
std::string replaceNumber(const std::string& s, std::size_t n, const std::string& with)
{
    std::size_t seen = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"') quoted = !quoted;
        if (quoted) continue;
        const bool start = (i == 0 || s[i - 1] == ',' || s[i - 1] == '\n' || s[i - 1] == '\r');
        if (start && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '-')) {
            std::size_t end = i;
            while (end < s.size() && s[end] != ',' && s[end] != '\r' && s[end] != '\n') ++end;
            if (seen++ == n) return s.substr(0, i) + with + s.substr(end);
        }
    }
    return s;
}

}  // namespace

std::vector<Variant> badVariants(const std::string& good, std::size_t maxCuts)
{
    std::vector<Variant> out;
    std::vector<std::size_t> cuts = boundaries(good);
    while (!cuts.empty() && cuts.back() >= good.size()) cuts.pop_back();  // the whole file is no cut
    for (std::size_t at : spread(cuts, maxCuts)) {
        out.push_back({"cut at field boundary " + std::to_string(at), good.substr(0, at)});
        if (at + 2 < good.size()) out.push_back({"cut mid-field at " + std::to_string(at + 1), good.substr(0, at + 1)});
    }
    if (auto q = good.find('"'); q != std::string::npos)
        out.push_back({"unclosed quote", good.substr(0, q + 1) + "never closed, no end"});
    std::string cr, lf;
    for (char c : good) {
        if (c != '\n') cr += c;
        if (c != '\r') lf += c;
    }
    out.push_back({"CR-only line ends", cr});
    out.push_back({"LF-only line ends", lf});
    std::string nul = good;
    for (std::size_t i = 3; i < nul.size(); i += 17) nul[i] = '\0';
    out.push_back({"NUL bytes", nul});
    std::string binary = good;
    for (std::size_t i = 5; i < binary.size(); i += 11) binary[i] = static_cast<char>(0x80 + (i % 0x7f));
    out.push_back({"binary bytes", binary});
    auto replaced = [&](const std::string& name, std::size_t n, const std::string& with) {
        std::string bytes = replaceNumber(good, n, with);
        if (bytes != good) out.push_back({name + " " + std::to_string(n), std::move(bytes)});
    };
    for (std::size_t n : {0u, 1u, 2u, 5u, 11u}) replaced("a word for number", n, "\"abc\"");
    for (std::size_t n : {0u, 1u, 2u, 11u}) {
        replaced("huge number", n, "99999999999");
        replaced("negative number", n, "-32769");
        replaced("far out of range", n, "1E+300");
    }
    out.push_back(
        {"10 MB of one line", good.substr(0, good.find('\n') + 1) + std::string(10 * 1024 * 1024, '7') + "\r\n"});
    out.push_back({"empty file", ""});
    out.push_back({"directory", "", true});
    return out;
}

}  // namespace qvtest
