#include "quenvar/check.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "quenvar/error.h"
#include "quenvar/numform.h"

namespace qv::check {

namespace {

// The characters of Windows-1252 from 0x80 to 0x9F (0 where the code page leaves a byte unused).
constexpr char16_t cp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                     0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else if (c >= 0x80 && c < 0xA0) {
            const char16_t u = cp1252High[c - 0x80];
            appendUtf8(out, u ? u : 0xFFFD);
        } else {
            appendUtf8(out, c);
        }
    }
    return out + "\"";
}

std::string plural(int n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); }

}  // namespace

const char* severityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

void Report::add(Finding finding)
{
    // A check reports in file order, so an equal finding stands among the last ones.
    for (auto it = findings_.rbegin(); it != findings_.rend() && it->file == finding.file && it->line == finding.line;
         ++it)
        if (it->code == finding.code && it->message == finding.message) return;
    if (findings_.empty() || findings_.back().file != finding.file) {
        // A file named before, after findings of another: the findings need sorting.
        if (!fileOrder_.emplace(finding.file, fileOrder_.size()).second) sorted_ = false;
    } else if (findings_.back().line > finding.line) {
        sorted_ = false;
    }
    (finding.severity == Severity::Error ? errors_ : warnings_) += 1;
    findings_.push_back(std::move(finding));
}

void Report::error(std::string file, int line, std::string key, std::string code, std::string message, std::string name)
{
    add({std::move(file),
         line,
         std::move(key),
         Severity::Error,
         std::move(code),
         std::move(message),
         std::move(name),
         {}});
}

void Report::warning(std::string file, int line, std::string key, std::string code, std::string message,
                     std::string name)
{
    add({std::move(file),
         line,
         std::move(key),
         Severity::Warning,
         std::move(code),
         std::move(message),
         std::move(name),
         {}});
}

void Report::unreadable(std::string file, int line, std::string_view failure, bool nothingRead)
{
    std::string message = "cannot be read";
    if (line > 0) message += nothingRead ? " from its start" : " on from here";
    message += ": ";
    message += failure;
    if (line > 0 && !nothingRead) message += "; the records before were checked";
    error(std::move(file), line, {}, "unreadable", std::move(message));
    if (nothingRead) fatal_ = true;
}

const std::vector<Finding>& Report::findings() const
{
    if (!sorted_) {
        std::stable_sort(findings_.begin(), findings_.end(), [this](const Finding& a, const Finding& b) {
            const std::size_t fa = fileOrder_.at(a.file), fb = fileOrder_.at(b.file);
            return fa != fb ? fa < fb : a.line < b.line;
        });
        sorted_ = true;
    }
    return findings_;
}

std::string textLine(const Finding& f)
{
    std::string out = f.file;
    if (f.line > 0) out += ":" + std::to_string(f.line);
    out += ": ";
    out += severityName(f.severity);
    out += ": " + f.message + " [" + f.code + "]";
    return out;
}

std::string jsonLine(const Finding& f)
{
    return "{\"file\":" + jsonString(f.file) + ",\"line\":" + std::to_string(f.line) + ",\"severity\":\"" +
           severityName(f.severity) + "\",\"code\":" + jsonString(f.code) + ",\"key\":" + jsonString(f.key) +
           ",\"message\":" + jsonString(f.message) + "}";
}

std::string windowLine(const Finding& f, std::string_view shownFile)
{
    std::string out;
    if (f.file != shownFile && baseName(f.file) != baseName(shownFile)) out = baseName(f.file) + " ";
    out += f.line > 0 ? "line " + std::to_string(f.line) : std::string("file");
    out += ": ";
    out += severityName(f.severity);
    out += ": " + f.message;
    return out;
}

std::string summary(int errors, int warnings, std::string_view fileName)
{
    if (errors == 0 && warnings == 0) return "No problems found in " + std::string(fileName);
    return plural(errors, "error") + ", " + plural(warnings, "warning") + " in " + std::string(fileName);
}

void print(const Report& report, bool json, std::ostream& out)
{
    for (const Finding& f : report.findings()) out << (json ? jsonLine(f) : textLine(f)) << '\n';
}

std::optional<Arguments> parseArguments(const std::vector<std::string>& args,
                                        const std::vector<std::string>& valueOptions, bool needFiles)
{
    Arguments a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            a.json = true;
        } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            const std::string name = arg.substr(2);
            if (std::find(valueOptions.begin(), valueOptions.end(), name) == valueOptions.end()) return std::nullopt;
            if (i + 1 >= args.size() || args[i + 1].empty()) return std::nullopt;
            a.values[name] = args[++i];
        } else if (arg.empty() || (arg[0] == '-' && arg != "-")) {
            return std::nullopt;
        } else {
            a.files.push_back(arg);
        }
    }
    if (needFiles && a.files.empty()) return std::nullopt;
    return a;
}

std::optional<RecordReader> openForCheck(const Files& files, const std::string& path, Report& report, bool checked)
{
    try {
        return files.openRead(path);
    } catch (const Error& e) {
        report.unreadable(path, 0, failureOf(e), false);
        if (checked) report.setFatal();
        return std::nullopt;
    }
}

std::optional<std::array<std::string, 4>> readDabasePaths(const Files& files, const std::string& path, Report& report,
                                                          bool checked)
{
    std::optional<RecordReader> in = openForCheck(files, path, report, checked);
    if (!in) return std::nullopt;
    std::array<std::string, 4> paths;
    try {
        paths[0] = in->text();
        if (paths[0] == "Start" && in->atEnd()) return std::nullopt;
        for (std::size_t k = 1; k < paths.size(); ++k) paths[k] = in->text();
    } catch (const Error& e) {
        report.unreadable(path, stopLine(*in), failureOf(e), checked);
        return std::nullopt;
    }
    return paths;
}

int stopLine(const RecordReader& in)
{
    const std::string& b = in.bytes();
    std::size_t end = b.size();
    while (end > 0 && (b[end - 1] == ' ' || b[end - 1] == '\t')) --end;
    int line = in.line();
    if (in.position() >= end && end > 0 && (b[end - 1] == '\n' || b[end - 1] == '\r') && line > 1) --line;
    return line;
}

std::string directoryOf(std::string_view path)
{
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut == 0 ? 1 : cut));
}

std::string baseName(std::string_view path)
{
    const std::size_t cut = path.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

std::vector<std::string> closestNames(std::string_view name, const std::vector<std::string>& candidates,
                                      std::size_t most)
{
    const std::size_t limit = std::max<std::size_t>(1, name.size() / 2);
    std::vector<std::pair<std::size_t, const std::string*>> near;
    for (const std::string& c : candidates) {
        // Lengths further apart than the limit cannot come within it.
        const std::size_t gap = c.size() > name.size() ? c.size() - name.size() : name.size() - c.size();
        if (gap > limit || c == name) continue;
        const std::size_t d = editDistance(name, c);
        if (d <= limit) near.emplace_back(d, &c);
    }
    std::stable_sort(near.begin(), near.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<std::string> out;
    for (const auto& [d, c] : near) {
        if (out.size() == most) break;
        if (std::find(out.begin(), out.end(), *c) == out.end()) out.push_back(*c);
    }
    return out;
}

std::string didYouMean(std::string_view name, const std::vector<std::string>& candidates)
{
    const std::vector<std::string> near = closestNames(name, candidates);
    if (near.empty()) return {};
    std::string out = "; did you mean ";
    for (std::size_t i = 0; i < near.size(); ++i) {
        if (i > 0) out += i + 1 == near.size() ? " or " : ", ";
        out += quoted(near[i]);
    }
    return out + "?";
}

std::string failureOf(const Error& error)
{
    std::string text = describe(error.kind());
    if (!error.detail().empty()) text += " (" + error.detail() + ")";
    return text;
}

std::string num(double value)
{
    // Whole numbers (IDs, counts) the quick way; the number form finds the shortest text.
    if (value == std::floor(value) && std::fabs(value) < 1e15) return std::to_string(static_cast<long long>(value));
    return numberForm(value);
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace qv::check
