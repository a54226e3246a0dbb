// The sorption database file model: kinds, reading and writing species records, the whole-file
// rewrite of the save and the deletion, and the species ID proposal.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "fixtures.h"
#include "quenvar/error.h"
#include "quenvar/numform.h"
#include "surfkit/sorption.h"
#include "testsupport.h"

using namespace surfkit;
using qvtest::crlf;

namespace {

const std::string& endBlock = qvtest::sorptionEndBlock;

// A species record as the writer lays it out: first line, then the component pairs.
std::string species(long id, const std::string& name, int n, const std::string& pairs = {})
{
    std::string s = std::to_string(id) + ",\"" + name + "\",0,1.5,0,0,1,0,0,0,0," + std::to_string(n) + "\r\n";
    if (!pairs.empty()) s += pairs + "\r\n";
    return s;
}

SpeciesRecord readOne(const std::string& bytes)
{
    qv::RecordReader in(bytes, "t.mdb");
    return readSpecies(in);
}

std::string written(const SpeciesRecord& r)
{
    qv::RecordWriter out;
    writeSpecies(out, r);
    return out.take();
}

std::vector<std::string> names(const std::string& bytes, HeaderLayout layout = {})
{
    qv::RecordReader in(bytes, "t.mdb");
    skipHeader(in, layout);
    std::vector<std::string> result;
    while (!in.atEnd()) {
        SpeciesRecord r = readSpecies(in);
        if (r.isEndRecord()) break;
        result.push_back(r.name().asText());
    }
    return result;
}

SpeciesRecord makeSpecies(long id, const std::string& name, std::vector<std::pair<double, double>> pairs)
{
    SpeciesRecord r;
    r.fields = {qv::Field::whole(id), qv::Field::text(name), qv::Field::number(0),
                qv::Field::number(2), qv::Field::number(0),  qv::Field::number(0),
                qv::Field::number(0), qv::Field::whole(0),   qv::Field::whole(0),
                qv::Field::whole(0),  qv::Field::whole(0),   qv::Field::whole(static_cast<long>(pairs.size()))};
    for (auto [x, y] : pairs) r.components.push_back({qv::Field::number(x), qv::Field::number(y)});
    return r;
}

}  // namespace

// ---- File kinds --------------------------------------------------------------------------------

TEST(SorptionKind, OnlyAllCapitalOrAllSmallEndingsCount)
{
    EXPECT_EQ(fileKindOf("C:\\data\\x.MDB"), FileKind::Complexation);
    EXPECT_EQ(fileKindOf("x.CDB"), FileKind::CounterionSelectivity);
    EXPECT_EQ(fileKindOf("x.cdb"), FileKind::CounterionSelectivity);
    EXPECT_EQ(fileKindOf("x.Cdb"), FileKind::Complexation);
    EXPECT_EQ(fileKindOf("x.ISO"), FileKind::Isotherm);
    EXPECT_EQ(fileKindOf("x.iso"), FileKind::Isotherm);
    EXPECT_EQ(fileKindOf("x.Iso"), FileKind::Complexation);
    EXPECT_EQ(fileKindOf("x.isO"), FileKind::Complexation);
    EXPECT_EQ(fileKindOf("x.NIC"), FileKind::NicaDonnan);
    EXPECT_EQ(fileKindOf("x.nic"), FileKind::NicaDonnan);
    EXPECT_EQ(fileKindOf("x.BLI"), FileKind::Blm);
    EXPECT_EQ(fileKindOf("x.bli"), FileKind::Blm);
    EXPECT_EQ(fileKindOf("xbli"), FileKind::Blm);  // the last three characters, dot or not
    EXPECT_EQ(fileKindOf("li"), FileKind::Complexation);
    EXPECT_EQ(fileKindOf(""), FileKind::Complexation);
}

TEST(SorptionKind, DonnicaHidesKselOnlyInSmallLetters)
{
    EXPECT_TRUE(hidesKsel("donnica.cdb"));
    EXPECT_TRUE(hidesKsel("/data/mydonnica.cdb"));
    EXPECT_FALSE(hidesKsel("DONNICA.CDB"));
    EXPECT_FALSE(hidesKsel("donnica.CDB"));
    EXPECT_FALSE(hidesKsel("Donnica.cdb"));
    EXPECT_FALSE(hidesKsel("onnica.cdb"));
}

TEST(SorptionKind, HeaderLayoutFollowsKind)
{
    EXPECT_TRUE(headerLayoutOf(FileKind::Isotherm).model);
    EXPECT_TRUE(headerLayoutOf(FileKind::NicaDonnan).model);
    EXPECT_FALSE(headerLayoutOf(FileKind::Blm).model);
    EXPECT_TRUE(headerLayoutOf(FileKind::Blm).blm);
    EXPECT_FALSE(headerLayoutOf(FileKind::CounterionSelectivity).model);
    EXPECT_FALSE(headerLayoutOf(FileKind::Complexation).blm);
}

// ---- Headers -----------------------------------------------------------------------------------

TEST(SorptionHeader, ListAndDisplayForms)
{
    const std::string blm = crlf({R"("BLM file","Cu")", "0.5"}) + species(1, "A", 0);
    qv::RecordReader in(blm, "t.bli");
    ListHeader h = readListHeader(in, headerLayoutOf(FileKind::Blm));
    EXPECT_EQ(h.f50, 0.5);
    EXPECT_EQ(h.model, "");
    EXPECT_EQ(readSpecies(in).name().asText(), "A");

    qv::RecordReader in2(blm, "t.bli");
    EXPECT_EQ(readDisplayHeader(in2, headerLayoutOf(FileKind::Blm)), "");
    EXPECT_EQ(readSpecies(in2).name().asText(), "A");

    const std::string iso = "Langmuir\r\n" + species(2, "B", 0);  // unquoted word reads as Text
    qv::RecordReader in3(iso, "t.iso");
    EXPECT_EQ(readListHeader(in3, headerLayoutOf(FileKind::Isotherm)).model, "Langmuir");
    EXPECT_EQ(readSpecies(in3).name().asText(), "B");
    qv::RecordReader in4(iso, "t.iso");
    EXPECT_EQ(readDisplayHeader(in4, headerLayoutOf(FileKind::Isotherm)), "Langmuir");
}

// ---- Reading species -----------------------------------------------------------------------------

TEST(SorptionRead, FieldsSpreadOverLinesReadAlike)
{
    const std::string oneLine = "5,\"X\",0,2,0,0,1,0,0,0,0,2,1,100,-1,200\r\n";
    const std::string spread = "5,\"X\",0\r\n2,0,0,1,0,0,0,0\r\n2\r\n1,100\r\n-1\r\n200\r\n";
    for (const std::string& bytes : {oneLine, spread}) {
        SpeciesRecord r = readOne(bytes);
        EXPECT_TRUE(r.id().equalsNumber(5));
        EXPECT_EQ(r.name().asText(), "X");
        ASSERT_EQ(r.components.size(), 2u);
        EXPECT_TRUE(r.components[1].stoich.equalsNumber(-1));
        EXPECT_TRUE(r.components[1].compid.equalsNumber(200));
        EXPECT_FALSE(r.mbCount.has_value());
    }
    // Two records on one line.
    qv::RecordReader in("1,\"A\",0,0,0,0,0,0,0,0,0,1,1,7,2,\"B\",0,0,0,0,0,0,0,0,0,0\r\n", "t.mdb");
    EXPECT_EQ(readSpecies(in).name().asText(), "A");
    EXPECT_EQ(readSpecies(in).name().asText(), "B");
    EXPECT_TRUE(in.atEnd());
}

TEST(SorptionRead, CountFieldWithHundredAddsMbBlock)
{
    SpeciesRecord with = readOne("1,\"A\",0,0,0,0,0,0,0,0,0,103\r\n1,10,2,20,3,30\r\n1\r\n0.5,20\r\n");
    EXPECT_EQ(with.components.size(), 3u);
    ASSERT_TRUE(with.mbCount.has_value());
    ASSERT_EQ(with.mbPairs.size(), 1u);
    EXPECT_TRUE(with.mbPairs[0].stoich.equalsNumber(0.5));

    // Field 12 of 3: three pairs, the next fields belong to the following record.
    qv::RecordReader in("1,\"A\",0,0,0,0,0,0,0,0,0,3\r\n1,10,2,20,3,30\r\n" + endBlock, "t.mdb");
    SpeciesRecord without = readSpecies(in);
    EXPECT_EQ(without.components.size(), 3u);
    EXPECT_FALSE(without.mbCount.has_value());
    EXPECT_TRUE(readSpecies(in).isEndRecord());
}

TEST(SorptionRead, EndRecordReadsOnlyItsTwelveFields)
{
    qv::RecordReader in("0,\"\",0,0,0,0,0,0,0,0,0,5\r\n9,\"after\",0,0,0,0,0,0,0,0,0,0\r\n", "t.mdb");
    SpeciesRecord end = readSpecies(in);
    EXPECT_TRUE(end.isEndRecord());
    EXPECT_TRUE(end.components.empty());
    EXPECT_EQ(readSpecies(in).name().asText(), "after");
    // A Text "0" or an empty ID is no end record.
    EXPECT_FALSE(readOne("\"0\",\"x\",0,0,0,0,0,0,0,0,0,0\r\n").isEndRecord());
    EXPECT_FALSE(readOne(",\"x\",0,0,0,0,0,0,0,0,0,0\r\n").isEndRecord());
}

TEST(SorptionRead, MoreThanTenPairsIsAFailure)
{
    std::string pairs11;
    for (int i = 1; i <= 11; ++i) pairs11 += (i > 1 ? "," : "") + std::string("1,") + std::to_string(i);
    try {
        readOne(species(1, "A", 11, pairs11));
        FAIL() << "eleven component pairs were read";
    } catch (const qv::Error& e) {
        EXPECT_EQ(e.kind(), qv::ErrorKind::BadFormat);
        EXPECT_EQ(e.file(), "t.mdb");
    }
    std::string mb = "1,\"A\",0,0,0,0,0,0,0,0,0,101\r\n1,5\r\n11\r\n" + pairs11 + "\r\n";
    EXPECT_THROW(readOne(mb), qv::Error);
    // A count of 100 (no subtraction) announces a hundred pairs.
    EXPECT_THROW(readOne(species(1, "A", 100, "1,2")), qv::Error);
    // Ten pairs fit; a short file is past its end.
    std::string pairs10;
    for (int i = 1; i <= 10; ++i) pairs10 += (i > 1 ? "," : "") + std::string("1,") + std::to_string(i);
    EXPECT_EQ(readOne(species(1, "A", 10, pairs10)).components.size(), 10u);
    try {
        readOne(species(1, "A", 3, "1,2"));
        FAIL();
    } catch (const qv::Error& e) {
        EXPECT_EQ(e.kind(), qv::ErrorKind::PastEnd);
    }
}

TEST(SorptionRead, MbPairsByRowAndInFileOrder)
{
    // Rows: component 100, 200, 300, and 100 again; M.B. pairs for 300 and 100.
    const std::string bytes = "1,\"A\",0,0,0,0,0,0,0,0,0,104\r\n1,100,2,200,3,300,4,100\r\n2\r\n0.3,300,0.1,100\r\n";
    FieldArray Stoich, Compid, MBstoich, MBcompid;
    for (auto& f : MBstoich) f = qv::Field::text("old");
    {
        qv::RecordReader in(bytes, "t.mdb");
        placePairs(readSpecies(in), Stoich, Compid, MBstoich, MBcompid, MbPlacement::ByRow);
    }
    EXPECT_TRUE(Stoich[2].equalsNumber(3));
    EXPECT_TRUE(Compid[3].equalsNumber(100));
    EXPECT_TRUE(MBstoich[0].equalsNumber(0.1));
    EXPECT_TRUE(MBstoich[1].equalsText("old"));  // row 2 has no pair: keeps its earlier value
    EXPECT_TRUE(MBstoich[2].equalsNumber(0.3));
    EXPECT_TRUE(MBcompid[2].equalsNumber(300));
    EXPECT_TRUE(MBstoich[3].equalsNumber(0.1));  // the same component in two rows
    EXPECT_TRUE(MBstoich[4].equalsText("old"));

    for (auto& f : MBstoich) f = qv::Field::text("old");
    qv::RecordReader in(bytes, "t.mdb");
    placePairs(readSpecies(in), Stoich, Compid, MBstoich, MBcompid, MbPlacement::FileOrder);
    EXPECT_TRUE(MBstoich[0].equalsNumber(0.3));
    EXPECT_TRUE(MBcompid[0].equalsNumber(300));
    EXPECT_TRUE(MBstoich[1].equalsNumber(0.1));
    EXPECT_TRUE(MBcompid[1].equalsNumber(100));
    EXPECT_TRUE(MBstoich[2].equalsText("old"));
}

// ---- Writing species -----------------------------------------------------------------------------

TEST(SorptionWrite, LineLayoutAndNumberForm)
{
    SpeciesRecord r = readOne("  12, \"=SOH-Ca\" ,1.50,-3.250,0,0\r\n1,0,0,0,0,102,1,812,1.0\r\n20\r\n1,0.50,20\r\n");
    EXPECT_EQ(written(r), crlf({R"(12,"=SOH-Ca",1.5,-3.25,0,0,1,0,0,0,0,102)", "1,812,1,20", "1", "0.5,20"}));

    // No components, no M.B. block: the first line alone.
    EXPECT_EQ(written(readOne(species(7, "Z", 0))), crlf({R"(7,"Z",0,1.5,0,0,1,0,0,0,0,0)"}));
    // An M.B. count of 0: its line, no pair line. Empty fields stay empty.
    EXPECT_EQ(written(readOne("8,,0,0,0,0,0,0,0,0,0,101\r\n1,5\r\n0\r\n")),
              crlf({R"(8,,0,0,0,0,0,0,0,0,0,101)", "1,5", "0"}));
}

TEST(SorptionWrite, NineAndTenPairsAreWrittenWhole)
{
    std::string pairs9, pairs10, mb7;
    for (int i = 1; i <= 9; ++i) pairs9 += (i > 1 ? "," : "") + std::to_string(i) + "," + std::to_string(100 + i);
    pairs10 = pairs9 + ",10,110";
    for (int i = 1; i <= 7; ++i) mb7 += (i > 1 ? "," : "") + std::string("0.5,") + std::to_string(100 + i);
    const std::string nine = species(1, "nine", 9, pairs9);
    const std::string ten = "2,\"ten\",0,1.5,0,0,1,0,0,0,0,110\r\n" + pairs10 + "\r\n7\r\n" + mb7 + "\r\n";
    EXPECT_EQ(written(readOne(nine)), nine);
    EXPECT_EQ(written(readOne(ten)), ten);

    // And they survive a rewrite, with the records after them in step.
    const std::string file = nine + ten + species(3, "after", 1, "1,5") + endBlock;
    RewriteResult out = rewriteDatabase(file, "t.mdb", {});
    EXPECT_EQ(out.bytes, file);
}

TEST(SorptionWrite, RecordsThatWouldNotReadBackAreRefused)
{
    SpeciesRecord r = makeSpecies(1, "A", {{1, 5}, {2, 6}});
    EXPECT_TRUE(isWellFormed(r));
    r.fields[11] = qv::Field::whole(3);  // announces three pairs, holds two
    EXPECT_FALSE(isWellFormed(r));
    qv::RecordWriter out;
    EXPECT_THROW(writeSpecies(out, r), qv::Error);
    EXPECT_EQ(out.bytes(), "");

    r.fields[11] = qv::Field::whole(102);  // an M.B. block announced, none held
    EXPECT_FALSE(isWellFormed(r));
    r.mbCount = qv::Field::whole(1);
    r.mbPairs.push_back({qv::Field::number(0.5), qv::Field::number(6)});
    EXPECT_TRUE(isWellFormed(r));
    EXPECT_EQ(written(readOne(written(r))), written(r));

    SpeciesRecord zero = makeSpecies(0, "Zero", {{1, 5}});  // pairs behind an ID of 0 are never read
    EXPECT_FALSE(isWellFormed(zero));
    EXPECT_TRUE(isWellFormed(makeSpecies(0, "", {})));
    SpeciesRecord negative = makeSpecies(1, "A", {});
    negative.fields[11] = qv::Field::number(-2);
    EXPECT_TRUE(isWellFormed(negative));
}

TEST(SorptionWrite, CountsKeepTheirMeaningWhenTheNumberFormWouldRoundThem)
{
    // Counts of more than fifteen digits, as another program may write them: the reader takes
    // their floor (2 pairs, 1 M.B. pair), but the number form would round them up to 103 and 2.
    const std::string odd =
        "5,\"Odd\",0,1,0,0,0,0,0,0,0,102.9999999999999\r\n1,3,1,5\r\n"
        "1.9999999999999991\r\n0.5,3\r\n";
    const SpeciesRecord r = readOne(odd);
    ASSERT_EQ(r.components.size(), 2u);
    ASSERT_EQ(r.mbPairs.size(), 1u);
    const std::string out = written(r);
    EXPECT_EQ(out, crlf({R"(5,"Odd",0,1,0,0,0,0,0,0,0,102)", "1,3,1,5", "1", "0.5,3"}));
    const SpeciesRecord back = readOne(out);
    EXPECT_EQ(back.components.size(), 2u);
    EXPECT_EQ(back.mbPairs.size(), 1u);

    // A count whose number form keeps its meaning is written in the number form as before.
    EXPECT_EQ(written(readOne("6,\"Half\",0,1,0,0,0,0,0,0,0,1.50\r\n1,3\r\n")),
              crlf({R"(6,"Half",0,1,0,0,0,0,0,0,0,1.5)", "1,3"}));

    // An empty M.B. count is read as no M.B. pairs; alone on its line it would be no field at all
    // at the end of a file, so it is written as 0.
    const std::string emptyCount = "8,\"E\",0,1,0,0,0,0,0,0,0,101\r\n1,3,\r\n";
    ASSERT_TRUE(readOne(emptyCount).mbCount->isEmpty());
    const RewriteResult rewritten = rewriteDatabase(emptyCount, "t.mdb", {});
    EXPECT_EQ(rewritten.bytes, crlf({R"(8,"E",0,1,0,0,0,0,0,0,0,101)", "1,3", "0"}));
    EXPECT_EQ(rewriteDatabase(rewritten.bytes, "t.mdb", {}).bytes, rewritten.bytes);

    // And the rewrite of such a file reads back record for record.
    const std::string file = odd + species(7, "Next", 1, "1,9") + endBlock;
    const RewriteResult once = rewriteDatabase(file, "t.mdb", {});
    EXPECT_EQ(once.bytes, out + species(7, "Next", 1, "1,9") + endBlock);
}

TEST(SorptionWrite, NumbersAreWrittenInTheNumberFormWhateverTheirCharacters)
{
    // Whole numbers in their number form, and every other way of writing a number.
    const char* const texts[] = {"0",
                                 "812",
                                 "-1",
                                 "123456789012345",
                                 "-123456789012345",
                                 "1234567890123456",
                                 "0012",
                                 "-0",
                                 "+5",
                                 "2.50",
                                 "1E3",
                                 "-0.000012",
                                 "7.",
                                 "00",
                                 "1e-5",
                                 "99999999999999999"};
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        const std::string line = std::string("1,\"A\",") + t + ",0,0,0,0,0,0,0,0,1";
        const SpeciesRecord r = readOne(line + "\r\n" + t + "," + t + "\r\n");
        const std::string form = qv::numberForm(qv::textToNumber(t));
        EXPECT_EQ(written(r), crlf({"1,\"A\"," + form + ",0,0,0,0,0,0,0,0,1", form + "," + form}));
    }
}

TEST(SorptionWrite, EndBlockBytes)
{
    qv::RecordWriter out;
    writeEndBlock(out);
    EXPECT_EQ(out.bytes(),
              "0,\"\",0,0,0,0,0,0,0,0\r\n0,0\r\n0,\"For QUENVAR\",0,0,0,0,0,0,0,0\r\n0,0\r\n"
              "0,\"\",0,0,0,0,0,0,0,0\r\n0,0\r\n");
}

// ---- Rewrite -------------------------------------------------------------------------------------

TEST(SorptionRewrite, CopyKeepsRecordsAndNormalisesNumbers)
{
    const std::string file = "1,\"A\",0,1.50,0,0,1,0,0,0,0,1\r\n2.0,10\r\n" + species(2, "B", 0) + endBlock;
    RewriteResult out = rewriteDatabase(file, "t.mdb", {});
    EXPECT_EQ(out.bytes, crlf({R"(1,"A",0,1.5,0,0,1,0,0,0,0,1)", "2,10"}) + species(2, "B", 0) + endBlock);
    EXPECT_TRUE(out.endBlock);
    EXPECT_EQ(out.copied, 2);
}

TEST(SorptionRewrite, NoEndBlockInNoneOut)
{
    const std::string file = species(1, "A", 1, "1,5") + species(2, "B", 0);
    RewritePlan plan;
    plan.newSpecies = makeSpecies(3, "N", {{1, 5}});
    RewriteResult out = rewriteDatabase(file, "t.mdb", plan);
    EXPECT_FALSE(out.endBlock);
    EXPECT_EQ(out.bytes, written(*plan.newSpecies) + file);
    EXPECT_EQ(out.bytes.find("For QUENVAR"), std::string::npos);

    // An empty file (no header) gives the new species alone.
    EXPECT_EQ(rewriteDatabase("", "t.mdb", plan).bytes, written(*plan.newSpecies));
}

TEST(SorptionRewrite, NewSpeciesComesFirstAndHeadersAreRewritten)
{
    RewritePlan plan;
    plan.newSpecies = makeSpecies(13011301, "New", {{1, 5}});
    plan.header.old = headerLayoutOf(FileKind::Isotherm);
    plan.header.model = "Temkin";
    const std::string iso = "\"Langmuir\"\r\n" + species(1, "A", 0) + endBlock;
    RewriteResult out = rewriteDatabase(iso, "t.iso", plan);
    EXPECT_EQ(out.bytes, "\"Temkin\"\r\n" + written(*plan.newSpecies) + species(1, "A", 0) + endBlock);
    EXPECT_EQ(names(out.bytes, plan.header.old), (std::vector<std::string>{"New", "A"}));

    RewritePlan blm;
    blm.header.old = headerLayoutOf(FileKind::Blm);
    blm.header.f50 = 0.25;
    const std::string bli = "\"BLM\",\"Cu\",0.5\r\n" + species(1, "A", 0) + endBlock;
    EXPECT_EQ(rewriteDatabase(bli, "t.bli", blm).bytes, "\"BLM\"\r\n\"Cu\",0.25\r\n" + species(1, "A", 0) + endBlock);
}

TEST(SorptionRewrite, ChangeReplacesFirstOfTheNameAndDropsTheOthers)
{
    const std::string file =
        species(1, "A", 0) + species(2, "X", 1, "1,5") + species(3, "B", 0) + species(4, "X", 0) + endBlock;
    int calls = 0;
    RewritePlan plan;
    plan.matchName = "X";
    plan.replacement = [&] {
        ++calls;
        return makeSpecies(2, "Y", {{2, 6}});
    };
    RewriteResult out = rewriteDatabase(file, "t.mdb", plan);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(out.matched, 2);
    EXPECT_EQ(out.bytes, species(1, "A", 0) + written(makeSpecies(2, "Y", {{2, 6}})) + species(3, "B", 0) + endBlock);

    // Replacing each record of the name: one copy per record, built once.
    plan.replaceEach = true;
    out = rewriteDatabase(file, "t.mdb", plan);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(out.matched, 2);
    const std::string y = written(makeSpecies(2, "Y", {{2, 6}}));
    EXPECT_EQ(out.bytes, species(1, "A", 0) + y + species(3, "B", 0) + y + endBlock);

    // No record of the name: the replacement is never built and every record stays.
    plan.matchName = "none";
    out = rewriteDatabase(file, "t.mdb", plan);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(out.bytes, file);
    EXPECT_EQ(out.matched, 0);
}

TEST(SorptionRewrite, DeleteDropsEveryRecordOfTheName)
{
    const std::string file = species(1, "X", 0) + species(2, "A", 0) + species(3, "X", 2, "1,5,1,6") + endBlock;
    RewritePlan plan;
    plan.matchName = "X";
    RewriteResult out = rewriteDatabase(file, "t.mdb", plan);
    EXPECT_EQ(out.bytes, species(2, "A", 0) + endBlock);
    EXPECT_EQ(out.matched, 2);
}

TEST(SorptionRewrite, MoreThan4000RecordsAreAllCarriedOver)
{
    std::string file;
    for (int i = 1; i <= 4100; ++i) file += species(i, "S" + std::to_string(i), 1, "1,5");
    file += endBlock;
    RewritePlan plan;
    plan.newSpecies = makeSpecies(9999, "New", {});
    plan.matchName = "S4050";  // beyond the 4000th: deleted like any other
    RewriteResult out = rewriteDatabase(file, "t.mdb", plan);
    EXPECT_EQ(out.copied, 4099);
    std::vector<std::string> got = names(out.bytes);
    ASSERT_EQ(got.size(), 4100u);
    EXPECT_EQ(got.front(), "New");
    EXPECT_EQ(got[4000], "S4000");
    EXPECT_EQ(got[4049], "S4049");
    EXPECT_EQ(got[4050], "S4051");
    EXPECT_EQ(got.back(), "S4100");
    EXPECT_TRUE(out.endBlock);
    EXPECT_EQ(out.bytes.substr(out.bytes.size() - endBlock.size()), endBlock);
}

TEST(SorptionRewrite, ContentAfterTheEndBlockIsKeptAndSavesAreStable)
{
    // A record hidden behind a lone ID-0 record, then a complete old end block in another
    // layout, then a note that is no record.
    const std::string hidden = species(5, "Hidden", 1, "1,5");
    const std::string file = species(1, "A", 0) + "0,\"\",0,0,0,0,0,0,0,0,0,0\r\n" + hidden +
                             "0,\"\",0,0,0,0,0,0,0,0,0,0\r\n0,\"x\",0,0,0,0,0,0,0,0,0,0\r\n" + "note\r\n";
    RewriteResult once = rewriteDatabase(file, "t.mdb", {});
    EXPECT_EQ(once.bytes, species(1, "A", 0) + endBlock + hidden +
                              "0,\"\",0,0,0,0,0,0,0,0,0,0\r\n0,\"x\",0,0,0,0,0,0,0,0,0,0\r\n" + "note\r\n");
    RewriteResult twice = rewriteDatabase(once.bytes, "t.mdb", {});
    EXPECT_EQ(twice.bytes, once.bytes);

    // A full end block followed only by blank lines: nothing after the fresh block.
    EXPECT_EQ(rewriteDatabase(species(1, "A", 0) + endBlock + "\r\n  \r\n", "t.mdb", {}).bytes,
              species(1, "A", 0) + endBlock);
    // Only the end block's three records are replaced: a fourth ID-0 record stays.
    const std::string fourth = "0,\"4th\",0,0,0,0,0,0,0,0,0,0\r\n";
    EXPECT_EQ(rewriteDatabase(species(1, "A", 0) + endBlock + fourth, "t.mdb", {}).bytes,
              species(1, "A", 0) + endBlock + fourth);
    // A shorter end block (one record) is completed.
    EXPECT_EQ(rewriteDatabase(species(1, "A", 0) + "0,\"\",0,0,0,0,0,0,0,0\r\n0,0\r\n", "t.mdb", {}).bytes,
              species(1, "A", 0) + endBlock);
}

TEST(SorptionRewrite, UnreadableFileGivesNoBytes)
{
    std::string pairs11;
    for (int i = 1; i <= 11; ++i) pairs11 += (i > 1 ? "," : "") + std::string("1,") + std::to_string(i);
    const std::string file = species(1, "A", 0) + species(2, "B", 11, pairs11) + endBlock;
    EXPECT_THROW(rewriteDatabase(file, "t.mdb", {}), qv::Error);
    RewritePlan iso;
    iso.header.old.model = true;
    EXPECT_THROW(rewriteDatabase("", "t.iso", iso), qv::Error);
}

// ---- Species IDs ---------------------------------------------------------------------------------

TEST(SorptionIds, ReadsEveryRecordAfterTheHeader)
{
    std::string file = "\"BLM\",\"Cu\",0.5\r\n";
    for (int i = 1; i <= 4005; ++i) file += species(100000 + i, "S", 1, "1,5");
    file += "2.7,\"frac\",0,0,0,0,0,0,0,0,0,0\r\n\"77\",\"text\",0,0,0,0,0,0,0,0,0,0\r\n";
    file += endBlock + species(555, "behind", 0) + "not a record,\r\n";
    qv::RecordReader in(file, "t.bli");
    SpeciesIds ids = readSpeciesIds(in, headerLayoutOf(FileKind::Blm));
    EXPECT_TRUE(ids.contains(100001));
    EXPECT_TRUE(ids.contains(104005));
    EXPECT_TRUE(ids.contains(2));  // 2.7 taken as a whole number
    EXPECT_FALSE(ids.contains(77));
    EXPECT_TRUE(ids.contains(555));
    EXPECT_FALSE(ids.contains(0));
    EXPECT_EQ(ids.size(), 4007u);

    std::string bad = species(1, "A", 3, "1,2");  // short before the end block
    qv::RecordReader in2(bad, "t.mdb");
    EXPECT_THROW(readSpeciesIds(in2, {}), qv::Error);
}

TEST(SorptionIds, FirstFreeFromWalksRuns)
{
    SpeciesIds ids({5, 3, 4, 4, 10, 11, 12, 14, 100});
    EXPECT_EQ(ids.firstFreeFrom(1), 1);
    EXPECT_EQ(ids.firstFreeFrom(3), 6);
    EXPECT_EQ(ids.firstFreeFrom(5), 6);
    EXPECT_EQ(ids.firstFreeFrom(10), 13);
    EXPECT_EQ(ids.firstFreeFrom(14), 15);
    EXPECT_EQ(ids.firstFreeFrom(100), 101);
    EXPECT_EQ(SpeciesIds().firstFreeFrom(7), 7);
}

namespace {
SpeciesIds usedRange(std::int64_t from, std::int64_t to, std::vector<std::int64_t> more = {})
{
    for (std::int64_t i = from; i <= to; ++i) more.push_back(i);
    return SpeciesIds(std::move(more));
}
}  // namespace

TEST(SorptionIds, ProposalBlocks)
{
    // Components 812 and 20: base 8120200, swapped 200 * 10000 + 8120 = 208120.
    EXPECT_EQ(proposeSpeciesId(SpeciesIds(), 812, 20), 8120200);
    EXPECT_EQ(proposeSpeciesId(SpeciesIds({8120200, 8120201, 8120203}), 812, 20), 8120202);
    // First block full: the first free number of the swapped block.
    EXPECT_EQ(proposeSpeciesId(usedRange(8120200, 8120209), 812, 20), 208120);
    EXPECT_EQ(proposeSpeciesId(usedRange(8120200, 8120209, {208120, 208121}), 812, 20), 208122);
    // Both full: from swapped base + 11; swapped base + 10 is never proposed, though free.
    SpeciesIds both =
        usedRange(8120200, 8120209, {208120, 208121, 208122, 208123, 208124, 208125, 208126, 208127, 208128, 208129});
    EXPECT_EQ(proposeSpeciesId(both, 812, 20), 208131);
    EXPECT_EQ(proposeSpeciesId(usedRange(208131, 208140, {8120200, 8120201, 8120202, 8120203, 8120204, 8120205, 8120206,
                                                          8120207, 8120208, 8120209, 208120,  208121,  208122,  208123,
                                                          208124,  208125,  208126,  208127,  208128,  208129}),
                               812, 20),
              208141);
    // The same component twice: the swapped block is the same block, so from base + 11.
    EXPECT_EQ(proposeSpeciesId(usedRange(8128120, 8128129), 812, 812), 8128131);
    EXPECT_EQ(proposeSpeciesId(usedRange(8128120, 8128132), 812, 812), 8128133);
    // A base that is no whole number is taken as it is.
    EXPECT_EQ(proposeSpeciesId(usedRange(8120200, 8120209), 812.00001, 20), idBase(812.00001, 20));
}

// The search as one pass over the file per candidate: the proposal must agree with it.
std::int64_t passPerCandidate(const std::set<std::int64_t>& used, std::int64_t a, std::int64_t b)
{
    std::int64_t base = 10000 * a + 10 * b, c = base;
    int p = 0;
    while (used.count(c)) {
        ++c;
        if (c == base + 10) {
            ++p;
            if (p != 2) {
                base = 10000 * b + 10 * a;
                c = base;
            } else {
                ++c;
            }
        }
    }
    return c;
}

TEST(SorptionIds, ProposalAgreesWithTheSearchCandidateByCandidate)
{
    std::mt19937 random(12345);
    for (int round = 0; round < 400; ++round) {
        const std::int64_t a = 1 + random() % 3, b = 1 + random() % 3;
        // Fill the two blocks and what follows them densely, so that every branch is taken.
        std::set<std::int64_t> used;
        const int density = static_cast<int>(random() % 101);
        for (std::int64_t base : {10000 * a + 10 * b, 10000 * b + 10 * a})
            for (std::int64_t c = base; c < base + 40; ++c)
                if (static_cast<int>(random() % 100) < density) used.insert(c);
        const SpeciesIds ids(std::vector<std::int64_t>(used.begin(), used.end()));
        ASSERT_EQ(proposeSpeciesId(ids, static_cast<double>(a), static_cast<double>(b)),
                  static_cast<double>(passPerCandidate(used, a, b)))
            << "a=" << a << " b=" << b << " density=" << density;
    }
}

TEST(SorptionIds, ProposalNeverTakesAnIdUsedBeyond4000OrBehindTheEndBlock)
{
    // Species 1..4000 fill other IDs; the 4001st uses the base itself; a record behind the end
    // block uses base + 1.
    std::string file;
    for (int i = 1; i <= 4000; ++i) file += species(i, "S", 0);
    file += species(13011010, "late", 0) + endBlock + species(13011011, "behind", 0);
    qv::RecordReader in(file, "t.mdb");
    SpeciesIds ids = readSpeciesIds(in, {});
    EXPECT_EQ(proposeSpeciesId(ids, 1301, 101), 13011012);
}

TEST(SorptionIds, IsothermSiteNumbers)
{
    // Idcomp after the adjustments, starting from the looked-up IDs 20 and 30.
    auto adjusted = [](std::string_view model, std::string_view first) {
        double a = 20, b = 30;
        adjustIdcompForModel(a, b, model, first);
        return std::pair{a, b};
    };
    using P = std::pair<double, double>;
    EXPECT_EQ(adjusted("", "LFsite1"), P(20, 30));
    // Freundlich with first component k: base 10000 x 1301 + 10 x k.
    EXPECT_EQ(adjusted("Freundlich", "Ca+2"), P(1301, 20));
    EXPECT_EQ(idBase(1301, 20), 13010200);
    EXPECT_EQ(adjusted("Extended Freundlich", "Ca+2"), P(1301, 20));
    EXPECT_EQ(adjusted("Linear Kd", "x"), P(1301, 20));
    EXPECT_EQ(adjusted("Temkin", "anything"), P(1331, 20));
    // Site names compared exactly: a trailing blank or another case keeps 1301.
    EXPECT_EQ(adjusted("Langmuir-Freundlich", "LFsite1 "), P(1301, 30));
    EXPECT_EQ(adjusted("Langmuir-Freundlich", "LFsite1"), P(1311, 30));
    EXPECT_EQ(adjusted("Langmuir-Freundlich", "LFsite2"), P(1312, 30));
    EXPECT_EQ(adjusted("Langmuir", "Lsite2"), P(1302, 30));
    EXPECT_EQ(adjusted("Langmuir", "Lsite1"), P(1301, 30));
    EXPECT_EQ(adjusted("Langmuir", "LFsite1"), P(1301, 30));
    EXPECT_EQ(adjusted("NICA", "NICAsite1"), P(1321, 30));
    EXPECT_EQ(adjusted("NICA", "NICAsite2"), P(1322, 30));
    EXPECT_EQ(adjusted("NICA", "nicasite1"), P(1301, 30));
    EXPECT_EQ(adjusted("NICA-Donnan", "FA1-"), P(1341, 30));
    EXPECT_EQ(adjusted("NICA-Donnan", "FA2-"), P(1342, 30));
    EXPECT_EQ(adjusted("NICA-Donnan", "HA1-"), P(1351, 30));
    EXPECT_EQ(adjusted("NICA-Donnan", "HA2-"), P(1352, 30));
    EXPECT_EQ(adjusted("NICA-Donnan", "HA3-"), P(1301, 30));
}

TEST(SorptionIds, SixthValueRangesExcludeTheirBounds)
{
    EXPECT_FALSE(inLk2Range(11000000));
    EXPECT_TRUE(inLk2Range(11000001));
    EXPECT_TRUE(inLk2Range(12999998));
    EXPECT_FALSE(inLk2Range(12999999));
    EXPECT_FALSE(inIsothermParameterRange(13110000));
    EXPECT_TRUE(inIsothermParameterRange(13211300));
    EXPECT_FALSE(inIsothermParameterRange(13599999));
}
