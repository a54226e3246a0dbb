// The analyte database on files the tests make: listing, search, and the three rewrites.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quenvar/error.h"
#include "quenvar/numform.h"
#include "testsupport.h"
#include "tracekit/analyt.h"

namespace {

using qvtest::crlf;
using tracekit::AnalyteDatabase;
using tracekit::Section;
using tracekit::Terms;
using Names = std::vector<std::string>;

const std::string header = "\"Analytes\"";
const std::string calcite = "6090550,\"Calcite\",-8.9456,-0.0125,1250,0,0,0,0";
const std::string gypsum = "6090540,\"Gypsum\",-4.9,0,95.4,0,0,0,0";
const std::string zero = "0,\"\",0,0,0,0,0,0,0";
const std::string hco3 = "550030,\"HCO3-\",7.6468,0,800,0,0,0,0";
const std::string oh = "10030,\"OH-\",5.9119,-0.0165,-4470,0,0,0,0";
const std::string restRecord = "777,\"Kept\",1,2,3,4,5,6,7";

class AnalyteFile : public ::testing::Test {
protected:
    void write(const std::string& bytes) { dir.write("analyt.mdb", bytes); }
    std::string bytes() const { return dir.read("analyt.mdb"); }
    // Only analyt.mdb: no temporary file is left behind.
    void expectOnlyAnalyt() const { EXPECT_EQ(dir.entries(), Names{"analyt.mdb"}); }

    qvtest::TempDir dir;
    qv::Files files{dir.path()};
    AnalyteDatabase db{files, dir.path()};
};

const Terms someTerms{1.5, -2, 0.001, 0, 1e-05, 25000, -0.25};
const std::string someTermsText = "1.5,-2,0.001,0,1E-05,25000,-0.25";

// ---- Listing and search ---------------------------------------------------------------------

TEST_F(AnalyteFile, ListsEachSectionInFileOrderAndNeverTheRest)
{
    write(crlf({header, calcite, gypsum, zero, hco3, oh, zero, restRecord}));
    EXPECT_EQ(db.names(Section::Solid), (Names{"Calcite", "Gypsum"}));
    EXPECT_EQ(db.names(Section::Aqueous), (Names{"HCO3-", "OH-"}));
}

TEST_F(AnalyteFile, HeaderSeparatorAndEndRecordOnlyListNothing)
{
    write(crlf({header, zero, zero}));
    EXPECT_TRUE(db.names(Section::Solid).empty());
    EXPECT_TRUE(db.names(Section::Aqueous).empty());
}

TEST_F(AnalyteFile, RecordsSpreadOverLinesAndEmptyIdsReadAsTheRecordSyntaxSays)
{
    // A record over two lines; a separator with an empty ID (it reads as 0); a name written
    // bare as a number.
    write(
        "\"H\"\r\n6090550,\"Calcite\",-8.9456\r\n-0.0125,1250,0,0,0,0\r\n,\"\",0,0,0,0,0,0,0\r\n"
        "123,456,1,2,3,4,5,6,7\r\n" +
        zero + "\r\n");
    EXPECT_EQ(db.names(Section::Solid), Names{"Calcite"});
    EXPECT_EQ(db.names(Section::Aqueous), Names{"456"});
}

TEST_F(AnalyteFile, ListingStopsAtTheEndOfAFileWithoutSeparatorOrEndRecord)
{
    write(crlf({header, calcite, gypsum}));
    EXPECT_EQ(db.names(Section::Solid), (Names{"Calcite", "Gypsum"}));
    EXPECT_TRUE(db.names(Section::Aqueous).empty());

    write(crlf({header, calcite, zero, hco3}));
    EXPECT_EQ(db.names(Section::Aqueous), Names{"HCO3-"});

    write("");
    EXPECT_TRUE(db.names(Section::Solid).empty());
    EXPECT_TRUE(db.names(Section::Aqueous).empty());
}

TEST_F(AnalyteFile, ARecordCutShortFailsAfterTheNamesBeforeIt)
{
    write(crlf({header, calcite, gypsum, "6090551,\"Aragonite\",1,2"}));
    Names seen;
    try {
        db.listNames(Section::Solid, [&](const std::string& n) { seen.push_back(n); });
        FAIL() << "a cut record must fail";
    } catch (const qv::Error& e) {
        EXPECT_EQ(e.kind(), qv::ErrorKind::PastEnd);
        EXPECT_EQ(e.file(), dir / "analyt.mdb");
    }
    EXPECT_EQ(seen, (Names{"Calcite", "Gypsum"}));
}

TEST_F(AnalyteFile, FindTakesTheFirstRecordOfTheNameInTheWholeFile)
{
    write(crlf({header, calcite, zero, "550031,\"Calcite\",9,9,9,9,9,9,9", hco3, zero, restRecord}));
    auto found = db.find("Calcite");
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->id.equalsNumber(6090550));
    EXPECT_DOUBLE_EQ(found->terms[0].asNumber(), -8.9456);
    EXPECT_DOUBLE_EQ(found->terms[2].asNumber(), 1250);

    auto aqueous = db.find("HCO3-");
    ASSERT_TRUE(aqueous);
    EXPECT_DOUBLE_EQ(aqueous->terms[0].asNumber(), 7.6468);

    // The separator is searched too; a record after the end record as well.
    ASSERT_TRUE(db.find(""));
    EXPECT_TRUE(db.find("")->isSectionEnd());
    ASSERT_TRUE(db.find("Kept"));
    EXPECT_DOUBLE_EQ(db.find("Kept")->terms[6].asNumber(), 7);

    // Case and blanks count; an absent name reads to the end of the file and finds nothing.
    EXPECT_FALSE(db.find("Calcite "));
    EXPECT_FALSE(db.find("calcite"));
    EXPECT_FALSE(db.find("Dolomite"));
    write(crlf({header, calcite}));
    EXPECT_FALSE(db.find("Dolomite"));
}

// ---- Adding ---------------------------------------------------------------------------------

TEST_F(AnalyteFile, AddingToAnEmptyDatabasePutsTheRecordInItsSection)
{
    write(crlf({header, zero, zero}));
    db.add(Section::Solid, 6090551, "Aragonite", someTerms);
    EXPECT_EQ(bytes(), crlf({header, "6090551,\"Aragonite\"," + someTermsText, zero, zero}));
    expectOnlyAnalyt();

    write(crlf({header, zero, zero}));
    db.add(Section::Aqueous, 550040, "CO3-2", someTerms);
    EXPECT_EQ(bytes(), crlf({header, zero, "550040,\"CO3-2\"," + someTermsText, zero}));
    EXPECT_EQ(db.names(Section::Aqueous), Names{"CO3-2"});
    expectOnlyAnalyt();
}

TEST_F(AnalyteFile, AddingPutsTheRecordFirstInItsSectionAndKeepsEverythingElse)
{
    write(crlf({header, calcite, zero, hco3, zero, restRecord}));
    db.add(Section::Aqueous, 10030, "OH-", someTerms);
    EXPECT_EQ(bytes(), crlf({header, calcite, zero, "10030,\"OH-\"," + someTermsText, hco3, zero, restRecord}));
    EXPECT_EQ(db.names(Section::Aqueous), (Names{"OH-", "HCO3-"}));

    // No check for a name already present: a second record of it is added.
    db.add(Section::Solid, 6090550, "Calcite", Terms{});
    EXPECT_EQ(db.names(Section::Solid), (Names{"Calcite", "Calcite"}));
    EXPECT_EQ(bytes(), crlf({header, "6090550,\"Calcite\",0,0,0,0,0,0,0", calcite, zero,
                             "10030,\"OH-\"," + someTermsText, hco3, zero, restRecord}));
}

TEST_F(AnalyteFile, AnAqueousSpeciesIsRefusedByAFileWithoutSeparator)
{
    const std::string old = crlf({header, calcite});
    write(old);
    try {
        db.add(Section::Aqueous, 10030, "OH-", someTerms);
        FAIL() << "no separator: refused";
    } catch (const qv::Error& e) {
        EXPECT_EQ(e.kind(), qv::ErrorKind::BadFormat);
        EXPECT_EQ(e.file(), dir / "analyt.mdb");
    }
    EXPECT_EQ(bytes(), old);
    expectOnlyAnalyt();

    // A solid still goes to the head of the file.
    db.add(Section::Solid, 6090540, "Gypsum", Terms{});
    EXPECT_EQ(bytes(), crlf({header, "6090540,\"Gypsum\",0,0,0,0,0,0,0", calcite}));
}

// ---- Changing -------------------------------------------------------------------------------

TEST_F(AnalyteFile, ChangingANameInBothSectionsChangesBothRecordsAndNothingElse)
{
    const std::string aqCalcite = "550031,\"Calcite\",9,9,9,9,9,9,9";
    const std::string restCalcite = "6090550,\"Calcite\",8,8,8,8,8,8,8";
    write(crlf({header, calcite, gypsum, zero, aqCalcite, hco3, zero, restCalcite, restRecord}));
    db.changeTerms("Calcite", someTerms);
    EXPECT_EQ(bytes(),
              crlf({header, "6090550,\"Calcite\"," + someTermsText, gypsum, zero, "550031,\"Calcite\"," + someTermsText,
                    hco3, zero, "6090550,\"Calcite\"," + someTermsText, restRecord}));
    expectOnlyAnalyt();
}

TEST_F(AnalyteFile, ATrailingBlankMakesAnotherName)
{
    const std::string old = crlf({header, calcite, zero, hco3, zero});
    write(old);
    db.changeTerms("Calcite ", someTerms);
    EXPECT_EQ(bytes(), old);
    db.remove("HCO3- ");
    EXPECT_EQ(bytes(), old);

    write(crlf({header, "6090550,\"Calcite \",1,1,1,1,1,1,1", calcite, zero, zero}));
    db.remove("Calcite ");
    EXPECT_EQ(bytes(), crlf({header, calcite, zero, zero}));
}

TEST_F(AnalyteFile, TermsWithoutANumberAreStoredAsZero)
{
    write(crlf({header, calcite, zero, zero}));
    Terms terms{};
    const char* typed[] = {"", "abc", " 2.5e1x", "-.5", "e5", "  +3", "1,5"};
    for (std::size_t i = 0; i < terms.size(); ++i) terms[i] = qv::textToNumber(typed[i]);
    db.changeTerms("Calcite", terms);
    EXPECT_EQ(bytes(), crlf({header, "6090550,\"Calcite\",0,0,25,-0.5,0,3,1", zero, zero}));
}

TEST_F(AnalyteFile, CopiedRecordsKeepTheirKindsAndTakeTheWrittenForm)
{
    // Another program's spelling: blanks, LF line ends, 1.50, a bare number as name, an empty
    // term, a bare word as header.
    write(
        "Analytes\n 6090550 , \"Calcite\" ,1.50,-0.0125,1250,0,0,0,0\n0,\"\",0,0,0,0,0,0,0\n"
        "123,456,1,,3,4,5,6,7\n0,\"\",0,0,0,0,0,0,0\n");
    db.changeTerms("456", someTerms);
    EXPECT_EQ(bytes(), crlf({"\"Analytes\"", "6090550,\"Calcite\",1.5,-0.0125,1250,0,0,0,0", zero,
                             "123,456," + someTermsText, zero}));
}

// ---- Deleting -------------------------------------------------------------------------------

TEST_F(AnalyteFile, DeletingAnAbsentNameRewritesTheSameRecordsInTheSameOrder)
{
    write(
        "\"H\"\n6090550,\"Calcite\",-8.9456,-0.0125,1250,0,0,0,0\n0,\"\",0,0,0,0,0,0,0\n"
        "550030,\"HCO3-\",7.6468,0,800.0,0,0,0,0\n0,\"\",0,0,0,0,0,0,0\n777,\"Kept\",1,2,3,4,5,6,7");
    db.remove("Select species");
    EXPECT_EQ(bytes(), crlf({"\"H\"", calcite, zero, hco3, zero, restRecord}));
    expectOnlyAnalyt();
}

TEST_F(AnalyteFile, DeletingRemovesEveryRecordOfTheNameButNeverTheSectionMarks)
{
    write(crlf({header, calcite, "550031,\"HCO3-\",1,1,1,1,1,1,1", zero, hco3, oh, zero, hco3, restRecord}));
    db.remove("HCO3-");
    EXPECT_EQ(bytes(), crlf({header, calcite, zero, oh, zero, restRecord}));

    // The separator and the end record are structure: a name equal to theirs leaves them.
    write(crlf({header, calcite, zero, hco3, zero, "0,\"\",5,5,5,5,5,5,5"}));
    db.remove("");
    EXPECT_EQ(bytes(), crlf({header, calcite, zero, hco3, zero}));
    EXPECT_EQ(db.names(Section::Aqueous), Names{"HCO3-"});
}

// ---- Failures -------------------------------------------------------------------------------

TEST_F(AnalyteFile, AFailedRewriteLeavesTheOldFileWholeAndNoTemporaryFile)
{
    const std::string old = crlf({header, calcite, zero, hco3, zero});
    write(old);
    for (qv::FileStep failing : {qv::FileStep::Open, qv::FileStep::Write, qv::FileStep::Flush, qv::FileStep::Rename}) {
        files.faultHook = [&](qv::FileStep step, const std::string&) {
            if (step == failing) throw qv::Error(qv::ErrorKind::WriteFailed, "analytp.mdb");
        };
        EXPECT_THROW(db.changeTerms("Calcite", someTerms), qv::Error) << qv::stepName(failing);
        EXPECT_THROW(db.add(Section::Aqueous, 1, "X", someTerms), qv::Error) << qv::stepName(failing);
        EXPECT_THROW(db.remove("Calcite"), qv::Error) << qv::stepName(failing);
        EXPECT_EQ(bytes(), old) << qv::stepName(failing);
        expectOnlyAnalyt();
    }
}

TEST_F(AnalyteFile, AFileWithoutHeaderOrWithACutRecordIsNotRewritten)
{
    write("");
    EXPECT_THROW(db.remove("Calcite"), qv::Error);
    EXPECT_EQ(bytes(), "");

    const std::string cut = crlf({header, calcite, zero, "550030,\"HCO3-\",7"});
    write(cut);
    EXPECT_THROW(db.changeTerms("Calcite", someTerms), qv::Error);
    EXPECT_THROW(db.remove("Calcite"), qv::Error);
    EXPECT_EQ(bytes(), cut);
    expectOnlyAnalyt();
}

TEST(AnalyteDatabasePaths, FilesAreNamedByFullPathsInTheDataDirectory)
{
    // The file layer's current directory lies elsewhere: the database still works in the data
    // directory, and nothing is written where the current directory is.
    qvtest::TempDir data, elsewhere;
    data.write("analyt.mdb", crlf({header, zero, zero}));
    elsewhere.write("analyt.mdb", "\"other\"\r\n");
    qv::Files files(elsewhere.path());
    AnalyteDatabase db(files, data.path());
    EXPECT_EQ(db.path(), data / "analyt.mdb");
    EXPECT_EQ(db.tempPath(), data / "analytp.mdb");

    db.add(Section::Solid, 6090550, "Calcite", Terms{});
    EXPECT_EQ(data.read("analyt.mdb"), crlf({header, "6090550,\"Calcite\",0,0,0,0,0,0,0", zero, zero}));
    EXPECT_EQ(db.names(Section::Solid), Names{"Calcite"});
    EXPECT_EQ(elsewhere.read("analyt.mdb"), "\"other\"\r\n");
    EXPECT_EQ(elsewhere.entries(), Names{"analyt.mdb"});
    EXPECT_EQ(data.entries(), Names{"analyt.mdb"});
}

}  // namespace
