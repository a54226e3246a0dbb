#pragma once
// Data directories for the end-to-end runs of surfkit: dabase.txt, a component database, the
// hand-off file sorptemp.dat naming a sorption database, and that database; and small helpers to
// read what a run printed and wrote.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures.h"
#include "testsupport.h"

namespace sktest {

using qvtest::crlf;

// The end block as the editor writes it.
inline const std::string& endBlock = qvtest::sorptionEndBlock;

// A small component database. The surface groups 811, 812 and 816 carry names of their own here,
// so that the window's fixed names for them can be told apart.
inline const std::string compMdb = crlf({
    R"(1,"H2O",0,18.015,0,0)",
    R"(3,"H+",1,1.008,9,0)",
    R"(5,"Na+",1,22.99,4,0)",
    R"(9,"Ca+2",2,40.078,6,0)",
    R"(30,"Cu+2",2,63.546,6,0)",
    R"(31,"Zn+2",2,65.38,6,0)",
    R"(50,"Cl-",-1,35.453,3,0)",
    R"(54,"SO4-2",-2,96.06,4,0)",
    R"(811,"SOH weak",0,0,0,0)",
    R"(812,"SOH strong",0,0,0,0)",
    R"(816,"S3O group",0,0,0,0)",
    R"(1301,"Lsite1",0,0,0,0)",
    R"(1302,"Lsite2",0,0,0,0)",
    R"(1311,"LFsite1",0,0,0,0)",
    R"(1321,"NICAsite1",0,0,0,0)",
    R"(1331,"Tsite",0,0,0,0)",
    R"(1341,"FA1-",0,0,0,0)",
});

// A data directory with dabase.txt, comp.mdb and, when `dbName` is not empty, the database and
// a sorptemp.dat naming it.
class DataDir {
public:
    DataDir(const std::string& dbName, const std::string& dbBytes, const std::string& comp = compMdb) : dbName_(dbName)
    {
        dir.write(
            "dabase.txt",
            crlf(
                {R"("c:\quenvar\thermo.mdb","c:\quenvar\type6.mdb","c:\quenvar\comp.mdb","c:\quenvar\gaussian.mdb")"}));
        if (!comp.empty()) dir.write("comp.mdb", comp);
        if (!dbName.empty()) dir.write(dbName, dbBytes);
    }

    // Each run starts as the program that starts surfkit leaves it: with sorptemp.dat naming the
    // database (surfkit deletes it at start-up).
    qvtest::RunResult run(const std::string& script) const
    {
        handOff();
        return qvtest::runScript(SURFKIT_BIN, dir.path(), script);
    }
    void handOff() const
    {
        if (!dbName_.empty()) dir.write("sorptemp.dat", crlf({"\"" + dbName_ + "\""}));
    }
    std::string read(const std::string& name) const { return dir.read(name); }
    void write(const std::string& name, const std::string& bytes) const { dir.write(name, bytes); }
    bool exists(const std::string& name) const { return dir.exists(name); }
    std::string path(const std::string& name) const { return dir / name; }

    qvtest::TempDir dir;

private:
    std::string dbName_;
};

// Whether the run printed this line.
inline bool printed(const qvtest::RunResult& r, const std::string& line)
{
    return ("\n" + r.output).find("\n" + line + "\n") != std::string::npos;
}

// The lines of a file as the suite writes them (CR LF), without their line ends.
inline std::vector<std::string> linesOf(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// The fields of one written line (a comma inside quotes belongs to its Text).
inline std::vector<std::string> fieldsOf(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char ch : line) {
        if (ch == '"') quoted = !quoted;
        if (ch == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += ch;
    }
    return fields;
}

// The message line the run prints for an OK box with a critical icon.
inline std::string critical(const std::string& title, const std::string& text)
{
    return "message \"" + title + "\" \"" + text + "\" ok critical -> ok";
}

}  // namespace sktest

// Runs the script and requires a clean run (exit status 0), showing what was printed otherwise.
#define RUN_OK(data, script)                               \
    [&] {                                                  \
        qvtest::RunResult r_ = (data).run(script);         \
        EXPECT_EQ(r_.status, 0) << r_.output << r_.errors; \
        return r_;                                         \
    }()
