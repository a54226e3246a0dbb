// The SIT coefficient file: reading, the three rewrites, the byte copy and the typed coefficient.

#include <gtest/gtest.h>

#include <string>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "ionkit/sitfile.h"
#include "quenvar/error.h"
#include "testsupport.h"

using ionkit::SitRecord;
using qvtest::crlf;

namespace {

const std::string kSit = "sit_eta.txt";

std::string manyRecords(int count)
{
    std::string bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "\"C" + std::to_string(i) + "+\",\"A-\",0." + std::to_string(i % 10) + ",\"ref " + std::to_string(i) +
                 "\"\r\n";
    return bytes;
}

int lineCount(const std::string& bytes)
{
    int n = 0;
    for (std::size_t p = 0; (p = bytes.find("\r\n", p)) != std::string::npos; p += 2) ++n;
    return n;
}

struct SitFileTest : ::testing::Test {
    qvtest::TempDir dir;
    qv::Files files{dir.path()};

    void put(const std::string& bytes) const { dir.write(kSit, bytes); }
    std::string bytes() const { return dir.read(kSit); }
    // Nothing but the database (and what the test put there itself) stands in the directory.
    void expectNoWorkingCopy() const { EXPECT_FALSE(dir.exists(ionkit::sitTempName)); }
};

TEST_F(SitFileTest, ReadsRecordsOverLinesAndStopsAtTheLimit)
{
    // One record spread over two lines reads as on one line; a quoted comma stays in its Text.
    put("\"Na+\",\"Cl-\"\r\n0.03,\"Book, p. 3\"\r\n\"K+\",\"OH-\",-0.0450,\"r\"");
    const auto records = ionkit::readSit(files, kSit);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].species1, "Na+");
    EXPECT_EQ(records[0].species2, "Cl-");
    EXPECT_FLOAT_EQ(records[0].eta, 0.03f);
    EXPECT_EQ(records[0].reference, "Book, p. 3");
    EXPECT_FLOAT_EQ(records[1].eta, -0.045f);

    EXPECT_EQ(ionkit::readSit(files, kSit, 1).size(), 1u);
}

TEST_F(SitFileTest, ScanVisitsTheRecordsBeforeTheDamageAndNamesTheFile)
{
    std::vector<std::string> seen;
    auto collect = [&](const SitRecord& r) {
        seen.push_back(r.species1);
        return true;
    };
    EXPECT_THROW(ionkit::scanSit(files, kSit, 10, collect), qv::Error);  // a file that cannot be opened

    put(crlf({R"("A","B",0.1,"r")", R"("C","D",0.2,"r")", R"("E","F",x,"r")", R"("G","H",0.3,"r")"}));
    auto failure = ionkit::scanSit(files, kSit, 10, collect);
    EXPECT_EQ(seen, (std::vector<std::string>{"A", "C"}));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind(), qv::ErrorKind::TypeMismatch);
    EXPECT_EQ(failure->file(), kSit);
    EXPECT_THROW(ionkit::readSit(files, kSit), qv::Error);

    // A record cut short at the end is not visited; the limit and a visitor's stop are no failure.
    put(crlf({R"("A","B",0.1,"r")", R"("C","D",0.2)"}));
    seen.clear();
    EXPECT_TRUE(ionkit::scanSit(files, kSit, 10, collect));
    EXPECT_EQ(seen, std::vector<std::string>{"A"});
    put(manyRecords(3));
    seen.clear();
    EXPECT_FALSE(ionkit::scanSit(files, kSit, 2, collect));
    EXPECT_EQ(seen.size(), 2u);
    seen.clear();
    EXPECT_FALSE(ionkit::scanSit(files, kSit, 10, [&](const SitRecord& r) {
        seen.push_back(r.species1);
        return false;
    }));
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(SitFileTest, EmptyFileReadsAsNoRecordsAndTakesOneAddition)
{
    put("");
    EXPECT_TRUE(ionkit::readSit(files, kSit).empty());
    EXPECT_TRUE(ionkit::addSit(files, kSit, SitRecord{"Na+", "Cl-", 0.03f, "Ref"}));
    EXPECT_EQ(bytes(), crlf({R"("Na+","Cl-",0.03,"Ref")"}));
    expectNoWorkingCopy();
}

TEST_F(SitFileTest, AdditionComparesTheOrderedPairExactly)
{
    const std::string original = crlf({R"("B","A",0.1,"r1")"});
    put(original);
    // (A, B) is another key than (B, A): appended as the last line.
    EXPECT_TRUE(ionkit::addSit(files, kSit, SitRecord{"A", "B", 0.2f, "r2"}));
    EXPECT_EQ(bytes(), original + crlf({R"("A","B",0.2,"r2")"}));

    // Case and blanks are significant.
    EXPECT_TRUE(ionkit::addSit(files, kSit, SitRecord{"a", "B", 0.3f, "r3"}));
    EXPECT_TRUE(ionkit::addSit(files, kSit, SitRecord{"A ", "B", 0.4f, "r4"}));
    EXPECT_EQ(lineCount(bytes()), 4);
}

TEST_F(SitFileTest, AdditionOfAnExistingKeyLeavesFileAndDirectoryUntouched)
{
    // The coefficient is written "0.120": a refused addition must not even normalise it.
    const std::string original = crlf({R"("B","A",0.120,"r1")", R"("A","B",0.5,"r2")"});
    put(original);
    EXPECT_FALSE(ionkit::addSit(files, kSit, SitRecord{"A", "B", 0.7f, "other"}));
    EXPECT_EQ(bytes(), original);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{kSit});
}

TEST_F(SitFileTest, KeyPresentTwiceIsChangedTwiceAndDeletedTwice)
{
    put(crlf({R"("A","B",0.1,"first")", R"("C","D",0.2,"keep")", R"("A","B",0.3,"second")"}));
    EXPECT_EQ(ionkit::changeSit(files, kSit, "A", "B", -0.25f, "new ref"), 2);
    EXPECT_EQ(bytes(), crlf({R"("A","B",-0.25,"new ref")", R"("C","D",0.2,"keep")", R"("A","B",-0.25,"new ref")"}));

    EXPECT_EQ(ionkit::deleteSit(files, kSit, "A", "B"), 2);
    EXPECT_EQ(bytes(), crlf({R"("C","D",0.2,"keep")"}));
    expectNoWorkingCopy();
}

TEST_F(SitFileTest, ChangeOfAbsentKeyRewritesWithNoRecordChanged)
{
    put(crlf({R"("A","B",0.1,"r")"}));
    EXPECT_EQ(ionkit::changeSit(files, kSit, "B", "A", 9.0f, "x"), 0);
    EXPECT_EQ(ionkit::deleteSit(files, kSit, "A", "b"), 0);
    EXPECT_EQ(bytes(), crlf({R"("A","B",0.1,"r")"}));
}

TEST_F(SitFileTest, EveryRewriteWritesCoefficientsInSinglePrecisionNumberForm)
{
    // A hand-edited file: trailing zeros, a leading "+", more digits than a single holds, an
    // exponent, an empty coefficient field, a record that spans two lines.
    const std::string handEdited =
        "\"A\",\"B\",0.120,\"r\"\r\n"
        "\"C\",\"D\",+1.50,\"r\"\r\n"
        "\"E\",\"F\",0.123456789,\"r\"\r\n"
        "\"G\",\"H\",0.0000150,\"r\"\r\n"
        "\"I\",\"J\",,\"r\"\r\n"
        "\"K\",\"L\"\r\n-2.000,\"r\"\r\n";
    const std::string normalised = crlf({R"("A","B",0.12,"r")", R"("C","D",1.5,"r")", R"("E","F",0.1234568,"r")",
                                         R"("G","H",1.5E-05,"r")", R"("I","J",0,"r")", R"("K","L",-2,"r")"});
    const std::string added = normalised + crlf({R"("M","N",0.1,"r")"});
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kind);
        put(handEdited);
        if (kind == 0) ionkit::changeSit(files, kSit, "none", "none", 0, "");
        if (kind == 1) ionkit::deleteSit(files, kSit, "none", "none");
        if (kind == 2) ionkit::addSit(files, kSit, SitRecord{"M", "N", 0.1f, "r"});
        EXPECT_EQ(bytes(), kind == 2 ? added : normalised);
    }
}

TEST_F(SitFileTest, NoRecordBeyondTheListLimitIsLost)
{
    put(manyRecords(4001));
    EXPECT_EQ(ionkit::readSit(files, kSit, ionkit::sitListLimit).size(), 4000u);

    // A change of the first record keeps the 4001st.
    EXPECT_EQ(ionkit::changeSit(files, kSit, "C1+", "A-", 0.5f, "changed"), 1);
    std::string after = bytes();
    EXPECT_EQ(lineCount(after), 4001);
    EXPECT_NE(after.find("\"C4001+\",\"A-\",0.1,\"ref 4001\"\r\n"), std::string::npos);

    // The key of the 4001st record is in the file: adding it again is refused.
    EXPECT_FALSE(ionkit::addSit(files, kSit, SitRecord{"C4001+", "A-", 0.5f, "again"}));
    EXPECT_EQ(bytes(), after);

    // A record beyond the limit can be changed and deleted like any other.
    EXPECT_EQ(ionkit::changeSit(files, kSit, "C4001+", "A-", 0.75f, "late"), 1);
    EXPECT_NE(bytes().find("\"C4001+\",\"A-\",0.75,\"late\"\r\n"), std::string::npos);
    EXPECT_EQ(ionkit::deleteSit(files, kSit, "C4001+", "A-"), 1);
    EXPECT_EQ(lineCount(bytes()), 4000);
}

TEST_F(SitFileTest, Windows1252BytesPassThroughUnchanged)
{
    const std::string record =
        "\"Na+\",\"Cl-\",0.03,\"Debye-H\xfc"
        "ckel \x80\xff\"\r\n";
    put(record + crlf({R"("K+","Cl-",0.1,"r")"}));
    ionkit::changeSit(files, kSit, "K+", "Cl-", 0.2f, "Br\xf8nsted");
    EXPECT_EQ(bytes(), record + crlf({"\"K+\",\"Cl-\",0.2,\"Br\xf8nsted\""}));
    ionkit::addSit(files, kSit, SitRecord{"Ca\xb2+", "Cl-", 0.3f, "\xe9t\xe9"});
    EXPECT_EQ(ionkit::readSit(files, kSit).back().species1, "Ca\xb2+");
}

TEST_F(SitFileTest, UnreadableFileIsReportedAndLeftAsItWas)
{
    // A missing file: named in the error, nothing created.
    try {
        ionkit::changeSit(files, kSit, "A", "B", 0, "");
        ADD_FAILURE() << "no error";
    } catch (const qv::Error& e) {
        EXPECT_EQ(e.kind(), qv::ErrorKind::FileNotFound);
        EXPECT_EQ(e.file(), kSit);
    }
    EXPECT_TRUE(dir.entries().empty());

    // A coefficient that is no number, and a record cut short, stop every rewrite before
    // anything is written.
    const std::string badNumber = crlf({R"("A","B",0.1,"r")", R"("C","D",abc,"r")"});
    const std::string cutShort = crlf({R"("A","B",0.1,"r")", R"("C","D",0.2)"});
    for (const std::string& original : {badNumber, cutShort}) {
        put(original);
        EXPECT_THROW(ionkit::changeSit(files, kSit, "A", "B", 1, "x"), qv::Error);
        EXPECT_THROW(ionkit::deleteSit(files, kSit, "A", "B"), qv::Error);
        EXPECT_THROW(ionkit::addSit(files, kSit, SitRecord{"E", "F", 1, "x"}), qv::Error);
        EXPECT_EQ(bytes(), original);
        EXPECT_EQ(dir.entries(), std::vector<std::string>{kSit});
    }
}

TEST_F(SitFileTest, FailedReplaceLeavesOldFileAndNoWorkingCopy)
{
    const std::string original = crlf({R"("A","B",0.1,"r")"});
    for (qv::FileStep failing : {qv::FileStep::Open, qv::FileStep::Write, qv::FileStep::Flush, qv::FileStep::Rename}) {
        SCOPED_TRACE(qv::stepName(failing));
        put(original);
        files.faultHook = [&](qv::FileStep step, const std::string& path) {
            if (step == failing) throw qv::Error(qv::ErrorKind::WriteFailed, path);
        };
        EXPECT_THROW(ionkit::changeSit(files, kSit, "A", "B", 0.5f, "x"), qv::Error);
        EXPECT_THROW(ionkit::addSit(files, kSit, SitRecord{"C", "D", 1, "x"}), qv::Error);
        EXPECT_EQ(bytes(), original);
        EXPECT_EQ(dir.entries(), std::vector<std::string>{kSit});
    }
}

TEST_F(SitFileTest, TextHoldingAQuoteIsNeverWritten)
{
    // The window refuses such texts first; the file layer still never writes a broken record.
    const std::string original = crlf({R"("A","B",0.1,"r")"});
    put(original);
    EXPECT_THROW(ionkit::addSit(files, kSit, SitRecord{"C", "D", 1, "say \"x\""}), qv::Error);
    EXPECT_THROW(ionkit::changeSit(files, kSit, "A", "B", 1, "\""), qv::Error);
    EXPECT_EQ(bytes(), original);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{kSit});
}

TEST_F(SitFileTest, DatabaseInAnotherDirectoryIsReplacedInPlace)
{
    // The working copy is made in the tool's directory, the database lies elsewhere.
    qvtest::TempDir other;
    other.write("db.txt", crlf({R"("A","B",0.1,"r")"}));
    EXPECT_EQ(ionkit::changeSit(files, other / "db.txt", "A", "B", 0.5f, "x"), 1);
    EXPECT_EQ(other.read("db.txt"), crlf({R"("A","B",0.5,"x")"}));
    EXPECT_TRUE(dir.entries().empty());
    EXPECT_EQ(other.entries(), std::vector<std::string>{"db.txt"});
}

TEST_F(SitFileTest, DatabaseOnAnotherFileSystemIsReplacedInPlace)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs /dev/shm as a second file system";
#else
    struct stat here {
    }, shm{};
    if (::stat(dir.path().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm";
    char pattern[] = "/dev/shm/ionkit-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string db = std::string(pattern) + "/db.txt";
    qv::Files(pattern).writeFile(db, crlf({R"("A","B",0.1,"r")"}));

    EXPECT_TRUE(ionkit::addSit(files, db, SitRecord{"C", "D", 0.2f, "x"}));
    EXPECT_EQ(qv::Files(pattern).readBytes(db), crlf({R"("A","B",0.1,"r")", R"("C","D",0.2,"x")"}));
    EXPECT_TRUE(dir.entries().empty());
    ::unlink(db.c_str());
    EXPECT_EQ(::rmdir(pattern), 0) << "something besides the database was left behind";
#endif
}

TEST_F(SitFileTest, SaveAsWritesTheChangedCopyAndLeavesTheOriginal)
{
    const std::string original = "\"A\",\"B\",0.120,\"H\xfc\"\r\n\"C\",\"D\",1.50,\"r\"";
    put(original);
    dir.write("new.txt", "older content");
    EXPECT_EQ(ionkit::saveSitAs(files, kSit, "new.txt", "C", "D", 2.5f, "x"), 1);
    EXPECT_EQ(dir.read("new.txt"), crlf({"\"A\",\"B\",0.12,\"H\xfc\"", R"("C","D",2.5,"x")"}));
    EXPECT_EQ(bytes(), original);

    // Nothing is written when the original cannot be read, nor when the new path lies nowhere.
    EXPECT_THROW(ionkit::saveSitAs(files, "missing.txt", "new2.txt", "A", "B", 0, ""), qv::Error);
    EXPECT_THROW(ionkit::saveSitAs(files, kSit, "nodir/new.txt", "C", "D", 0, ""), qv::Error);
    put(crlf({R"("A","B",0.1,"r")", R"("C","D",abc,"r")"}));
    EXPECT_THROW(ionkit::saveSitAs(files, kSit, "new.txt", "A", "B", 0, ""), qv::Error);
    EXPECT_EQ(dir.read("new.txt"), crlf({"\"A\",\"B\",0.12,\"H\xfc\"", R"("C","D",2.5,"x")"}));
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"new.txt", kSit}));
}

TEST(SitCoefficient, TypedTextMustBeginWithANumberInSingleRange)
{
    EXPECT_EQ(ionkit::coefficientOf(""), std::nullopt);
    EXPECT_EQ(ionkit::coefficientOf("   "), std::nullopt);
    EXPECT_EQ(ionkit::coefficientOf("abc"), std::nullopt);
    EXPECT_EQ(ionkit::coefficientOf("-"), std::nullopt);
    EXPECT_EQ(ionkit::coefficientOf(",5"), std::nullopt);
    EXPECT_EQ(ionkit::coefficientOf("1e39"), std::nullopt);
    EXPECT_EQ(ionkit::coefficientOf("-1e39"), std::nullopt);

    EXPECT_EQ(ionkit::coefficientOf(" 0.12"), 0.12f);
    EXPECT_EQ(ionkit::coefficientOf("-1.5e-3 per kg"), -0.0015f);
    EXPECT_EQ(ionkit::coefficientOf(".5"), 0.5f);
    EXPECT_EQ(ionkit::coefficientOf("0,5"), 0.0f);  // no decimal comma in this tool
    EXPECT_EQ(ionkit::coefficientOf("3e38"), 3e38f);
}

}  // namespace
