// The default parameter set: reading and writing `deftempar.dat` and `dabase.txt`, and the
// conversions the windows use.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "prefkit/params.h"
#include "quenvar/error.h"
#include "quenvar/files.h"
#include "testsupport.h"

namespace {

using prefkit::DefaultParameters;
using qv::Field;
using qvtest::crlf;
using qvtest::TempDir;

// A parameter file as Quenvar writes it, with `dataDir` on its first line.
std::string standardFile(const std::string& dataDir)
{
    return crlf({
        "\"" + dataDir + "\"",
        "2,0,1,0,1,0",
        R"("/q/thermo.mdb","/q/type6.mdb","/q/comp.mdb","/q/gaussian.mdb")",
        "1E-09,-3,3",
        "0.3",
        "600,0.02439,2.3122",
        "746,0.36,1.695",
        "0.5,7.5,3,3,0.01,4,750,1.02,5,1.3,5",
    });
}

DefaultParameters loadFrom(const TempDir& dir, const std::string& bytes)
{
    dir.write("deftempar.dat", bytes);
    return prefkit::loadParameters(qv::Files(dir.path()));
}

TEST(FieldLayout, ThirtyTwoFieldsOnEightLinesInFileOrder)
{
    const auto& places = prefkit::fieldPlaces();
    std::map<int, int> perLine;
    int texts = 0;
    int previousLine = 0, previousPosition = 0;
    std::set<const void*> members;
    for (const auto& place : places) {
        EXPECT_NE(place.text == nullptr, place.value == nullptr) << place.line << "," << place.position;
        texts += place.text ? 1 : 0;
        ++perLine[place.line];
        // Positions run from 1 within each line, lines from 1 to 8.
        if (place.line == previousLine)
            EXPECT_EQ(place.position, previousPosition + 1);
        else
            EXPECT_EQ(place.line, previousLine + 1);
        previousLine = place.line;
        previousPosition = place.position;
    }
    EXPECT_EQ(texts, 5);
    EXPECT_EQ(perLine, (std::map<int, int>{{1, 1}, {2, 6}, {3, 4}, {4, 3}, {5, 1}, {6, 3}, {7, 3}, {8, 11}}));
    const auto& goethite110 = prefkit::placeOf(&DefaultParameters::goethite110S3OSiteDensity);
    EXPECT_EQ(goethite110.line, 8);
    EXPECT_EQ(goethite110.position, 4);
    EXPECT_EQ(prefkit::placeOf(&DefaultParameters::hfoHighAffinity).position, 2);
}

TEST(LoadParameters, ReadsEveryFieldIntoItsPlace)
{
    // Each number field holds line * 100 + position, each Text "Tline.position".
    TempDir dir;
    std::string file;
    int line = 1;
    for (const auto& place : prefkit::fieldPlaces()) {
        if (place.line != line) {
            file += "\r\n";
            line = place.line;
        } else if (place.position > 1) {
            file += ",";
        }
        file += place.text ? "\"T" + std::to_string(place.line) + "." + std::to_string(place.position) + "\""
                           : std::to_string(place.line * 100 + place.position);
    }
    const DefaultParameters p = loadFrom(dir, file + "\r\n");
    for (const auto& place : prefkit::fieldPlaces()) {
        SCOPED_TRACE(std::to_string(place.line) + "." + std::to_string(place.position));
        if (place.text)
            EXPECT_EQ(p.*place.text, "T" + std::to_string(place.line) + "." + std::to_string(place.position));
        else
            EXPECT_TRUE((p.*place.value).equalsNumber(place.line * 100 + place.position));
    }
    EXPECT_EQ(p.domPath, "T3.4");
    EXPECT_TRUE(p.goethite110S3OSiteDensity.equalsNumber(804));
    EXPECT_TRUE(p.ferrihydriteSurfaceArea.equalsNumber(807));
    EXPECT_EQ(prefkit::parameterFileBytes(p), file + "\r\n");
}

TEST(LoadParameters, FieldValuesKeepTheKindTheyWereReadWith)
{
    TempDir dir;
    const DefaultParameters p = loadFrom(dir, crlf({
                                                  "\"/d\"",
                                                  "\"2\",0,1,0,1,carried text",
                                                  "\"a\",\"b\",\"c\",\"d\"",
                                                  "\"1E-09\",,3",
                                                  "0.30",
                                                  "600,0.02439,2.3122",
                                                  "746,0.36,1.695",
                                                  "0.5,7.5,3,3,0.01,4,750,1.02,5,1.3,5",
                                              }));
    EXPECT_TRUE(p.iterationCode.equalsText("2"));
    EXPECT_FALSE(p.iterationCode.equalsNumber(2));
    EXPECT_TRUE(p.carriedValue.equalsText("carried text"));
    EXPECT_TRUE(p.minAqueousConcentration.equalsText("1E-09"));
    EXPECT_TRUE(p.minSaturationIndex.isEmpty());
    EXPECT_TRUE(p.daviesB.equalsNumber(0.3));

    // Written back in the same kinds: Texts quoted, the Empty as nothing, numbers in the number
    // form ("0.30" becomes "0.3").
    const std::string bytes = prefkit::parameterFileBytes(p);
    EXPECT_EQ(bytes, crlf({
                         "\"/d\"",
                         "\"2\",0,1,0,1,\"carried text\"",
                         "\"a\",\"b\",\"c\",\"d\"",
                         "\"1E-09\",,3",
                         "0.3",
                         "600,0.02439,2.3122",
                         "746,0.36,1.695",
                         "0.5,7.5,3,3,0.01,4,750,1.02,5,1.3,5",
                     }));
}

TEST(LoadParameters, FieldsSpreadOverOtherLinesLoadTheSame)
{
    TempDir a, b;
    const DefaultParameters onEight = loadFrom(a, standardFile("/d"));
    const DefaultParameters spread = loadFrom(b,
                                              "\"/d\",2,0\n1,0,1,0,\"/q/thermo.mdb\"\r\n\"/q/type6.mdb\"\r"
                                              "\"/q/comp.mdb\",\"/q/gaussian.mdb\",1E-09,-3,3,0.3,600\r\n"
                                              "0.02439,2.3122,746,0.36,1.695,0.5,7.5\r\n3,3,0.01,4,750,"
                                              "1.02,5,1.3\r\n5\r\n");
    EXPECT_EQ(spread, onEight);
    EXPECT_EQ(prefkit::parameterFileBytes(spread), standardFile("/d"));
}

TEST(LoadParameters, MissingOrShortFileFailsNamingTheFile)
{
    TempDir dir;
    try {
        prefkit::loadParameters(qv::Files(dir.path()));
        FAIL() << "a missing file loaded";
    } catch (const qv::Error& e) {
        EXPECT_EQ(e.kind(), qv::ErrorKind::FileNotFound);
        EXPECT_STREQ(e.what(), "File not found: deftempar.dat");
    }

    // Thirty-one fields: the last line lacks its last capacitance.
    std::string shortFile = standardFile("/d");
    shortFile.replace(shortFile.rfind(",5\r\n"), 4, "\r\n");
    dir.write("deftempar.dat", shortFile);
    try {
        prefkit::loadParameters(qv::Files(dir.path()));
        FAIL() << "a file of 31 fields loaded";
    } catch (const qv::Error& e) {
        EXPECT_EQ(e.kind(), qv::ErrorKind::PastEnd);
        EXPECT_STREQ(e.what(), "Input past end of file: deftempar.dat");
    }

    // A trailing comma still delimits a thirty-second field: it is Empty.
    shortFile.replace(shortFile.size() - 2, 2, ",\r\n");
    const DefaultParameters p = loadFrom(dir, shortFile);
    EXPECT_TRUE(p.ferrihydriteOuterCapacitance.isEmpty());
}

TEST(SaveParameters, WritesBothFilesIntoTheDataDirectoryAndLoadsBackTheSameSet)
{
    TempDir start, data;
    DefaultParameters p = loadFrom(start, standardFile(data.path()));
    p.iterationCode = prefkit::storedCode(4);
    p.carriedValue = Field::text("kept");
    p.daviesB = prefkit::storedNumber(" 0.25");
    p.hfoSurfaceArea = prefkit::storedNumber("612.5");
    p.thermoPath = "/chosen/THERMO.MDB";

    prefkit::saveParameters(qv::Files(start.path()), p);

    EXPECT_EQ(data.read("dabase.txt"),
              crlf({R"("/chosen/THERMO.MDB","/q/type6.mdb","/q/comp.mdb","/q/gaussian.mdb")"}));
    const std::string written = data.read("deftempar.dat");
    EXPECT_EQ(written, crlf({
                           "\"" + data.path() + "\"",
                           "4,0,1,0,1,\"kept\"",
                           R"("/chosen/THERMO.MDB","/q/type6.mdb","/q/comp.mdb","/q/gaussian.mdb")",
                           "1E-09,-3,3",
                           "0.25",
                           "612.5,0.02439,2.3122",
                           "746,0.36,1.695",
                           "0.5,7.5,3,3,0.01,4,750,1.02,5,1.3,5",
                       }));
    // No temporary file stays behind, and the file in the start directory is not touched.
    EXPECT_EQ(data.entries(), (std::vector<std::string>{"dabase.txt", "deftempar.dat"}));
    EXPECT_EQ(start.read("deftempar.dat"), standardFile(data.path()));

    // What was written loads back to the set, field for field and kind for kind.
    const DefaultParameters back = prefkit::loadParameters(qv::Files(data.path()));
    EXPECT_EQ(back, p);
    EXPECT_TRUE(back.carriedValue.isText());
}

TEST(SaveParameters, RelativeDataDirectoryIsTakenFromTheStartDirectory)
{
    TempDir start;
    start.write("sub/keep", "");
    DefaultParameters p = loadFrom(start, standardFile("sub"));
    const qv::Files files(start.path());
    prefkit::saveParameters(files, p);
    EXPECT_EQ(start.read("sub/deftempar.dat"), standardFile("sub"));
    EXPECT_TRUE(start.exists("sub/dabase.txt"));
    EXPECT_EQ(files.currentDir(), start.path());
}

TEST(SaveParameters, MissingDataDirectoryWritesNothingAndNamesTheFile)
{
    TempDir start;
    const std::string missing = start / "gone";
    const DefaultParameters p = loadFrom(start, standardFile(missing));
    try {
        prefkit::saveParameters(qv::Files(start.path()), p);
        FAIL() << "saved into a directory that does not exist";
    } catch (const qv::Error& e) {
        EXPECT_EQ(e.kind(), qv::ErrorKind::PathNotFound);
        EXPECT_EQ(std::string(e.what()), "Path not found: " + qv::joinPath(missing, "dabase.txt"));
    }
    EXPECT_EQ(start.entries(), std::vector<std::string>{"deftempar.dat"});
}

// Every step of writing either file may fail; each file is then as it was or wholly new, no
// temporary file stays, and the failure names the file it concerns.
TEST(SaveParameters, AFailingStepLeavesEachFileWholeAndNamesIt)
{
    const std::string oldDabase = crlf({R"("old1","old2","old3","old4")"});
    for (const qv::FileStep failing :
         {qv::FileStep::Open, qv::FileStep::Write, qv::FileStep::Flush, qv::FileStep::Rename}) {
        for (const char* failingFile : {"dabase", "deftempar"}) {
            SCOPED_TRACE(std::string(qv::stepName(failing)) + " of " + failingFile);
            TempDir data;
            const std::string original = standardFile(data.path());
            DefaultParameters p = loadFrom(data, original);
            data.write("dabase.txt", oldDabase);
            p.hfoSurfaceArea = prefkit::storedNumber("1");

            qv::Files files(data.path());
            files.faultHook = [&](qv::FileStep step, const std::string& path) {
                if (step == failing && path.find(failingFile) != std::string::npos)
                    throw qv::Error(qv::ErrorKind::WriteFailed, path);
            };
            try {
                prefkit::saveParameters(files, p);
                FAIL() << "the save did not fail";
            } catch (const qv::Error& e) {
                const std::string target =
                    data / (std::string(failingFile) + (failingFile[1] == 'a' ? ".txt" : ".dat"));
                EXPECT_EQ(std::string(e.what()), "Write failed: " + target);
            }
            // A failure in dabase.txt's step comes before (or with) its backup; one in deftempar.dat's
            // comes after dabase.txt was replaced, whose previous content is kept as its backup.
            if (std::string(failingFile) == "dabase")
                EXPECT_EQ(data.entries(), (std::vector<std::string>{"dabase.txt", "deftempar.dat"}));
            else
                EXPECT_EQ(data.entries(), (std::vector<std::string>{"dabase.txt", "dabase.txt.bak", "deftempar.dat"}));
            EXPECT_EQ(data.read("deftempar.dat"), original);
            if (std::string(failingFile) == "dabase")
                EXPECT_EQ(data.read("dabase.txt"), oldDabase);
            else  // dabase.txt went first and is whole
                EXPECT_EQ(data.read("dabase.txt"),
                          crlf({R"("/q/thermo.mdb","/q/type6.mdb","/q/comp.mdb","/q/gaussian.mdb")"}));
        }
    }
}

TEST(SaveParameters, TextHoldingAQuoteIsRefusedBeforeAnyFileIsTouched)
{
    TempDir data;
    const std::string original = standardFile(data.path());
    // An unquoted field may hold a quote inside; it reads as Text but has no written form.
    std::string withQuote = original;
    withQuote.replace(withQuote.find("1,0\r\n"), 5, "1,a\"b\r\n");
    DefaultParameters p = loadFrom(data, withQuote);
    EXPECT_TRUE(p.carriedValue.equalsText("a\"b"));
    EXPECT_THROW(prefkit::saveParameters(qv::Files(data.path()), p), qv::Error);
    EXPECT_EQ(data.entries(), std::vector<std::string>{"deftempar.dat"});

    p = loadFrom(data, original);
    p.componentsPath = "/x/co\"mp.mdb";
    try {
        prefkit::saveParameters(qv::Files(data.path()), p);
        FAIL() << "a path with a quote was written";
    } catch (const qv::Error& e) {
        EXPECT_EQ(e.kind(), qv::ErrorKind::QuoteInText);
        EXPECT_EQ(std::string(e.what()), "Text holds a double quote (/x/co\"mp.mdb): deftempar.dat");
    }
    EXPECT_EQ(data.entries(), std::vector<std::string>{"deftempar.dat"});
    EXPECT_EQ(data.read("deftempar.dat"), original);
}

TEST(Conversions, DisplayFormOfFieldValues)
{
    using prefkit::displayText;
    EXPECT_EQ(displayText(Field::numberAsRead(600, "600")), " 600");
    EXPECT_EQ(displayText(Field::numberAsRead(1e-9, "1E-09")), " 1E-09");
    EXPECT_EQ(displayText(Field::numberAsRead(1.5, "1.50")), " 1.5");
    EXPECT_EQ(displayText(Field::numberAsRead(-3, "-3")), "-3");
    EXPECT_EQ(displayText(Field()), " 0");
    // A Text that is a number shows as that number; one that is not shows nothing.
    EXPECT_EQ(displayText(Field::text("2.3122")), " 2.3122");
    EXPECT_EQ(displayText(Field::text("  -0.5 ")), "-0.5");
    EXPECT_EQ(displayText(Field::text("abc")), std::nullopt);
    EXPECT_EQ(displayText(Field::text("12abc")), std::nullopt);
    EXPECT_EQ(displayText(Field::text("")), std::nullopt);
}

TEST(Conversions, StoredValuesAreNumbers)
{
    using prefkit::storedNumber;
    EXPECT_TRUE(storedNumber(" 600").equalsNumber(600));
    EXPECT_TRUE(storedNumber("12abc").equalsNumber(12));
    EXPECT_TRUE(storedNumber("  -1.5E-3x").equalsNumber(-0.0015));
    EXPECT_TRUE(storedNumber("abc").equalsNumber(0));
    EXPECT_TRUE(storedNumber("").equalsNumber(0));
    EXPECT_EQ(storedNumber("0.30").writtenForm(), "0.3");
    const Field code = prefkit::storedCode(3);
    EXPECT_TRUE(code.equalsNumber(3));
    EXPECT_EQ(code.writtenForm(), "3");
}

}  // namespace
