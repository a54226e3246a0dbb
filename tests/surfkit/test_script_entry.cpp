// surfkit end to end: entering a new species (the component list, taking components in) and the
// species ID proposal.

#include <gtest/gtest.h>

#include <string>

#include "script_fixture.h"

using namespace sktest;

namespace {

// A component database with records on both sides of every bound of the component list rules.
const std::string ruleComp = crlf({
    R"(1,"H2O",0,18,0,0)",     R"(2,"X2",0,0,0,0)",        R"(3,"H+",1,1,0,0)",         R"(144,"P144",0,0,0,0)",
    R"(149,"P149",0,0,0,0)",   R"(150,"P150",0,0,0,0)",    R"(811,"weak",0,0,0,0)",     R"(812,"strong",0,0,0,0)",
    R"(816,"triple",0,0,0,0)", R"(817,"S817",0,0,0,0)",    R"(858,"S858",0,0,0,0)",     R"(859,"S859",0,0,0,0)",
    R"(917,"Q917",0,0,0,0)",   R"(921,"Q921",0,0,0,0)",    R"(951,"R951",0,0,0,0)",     R"(952,"R952",0,0,0,0)",
    R"(1101,"R1101",0,0,0,0)", R"(1102,"R1102",0,0,0,0)",  R"(1104,"R1104",0,0,0,0)",   R"(1110,"R1110",0,0,0,0)",
    R"(1111,"R1111",0,0,0,0)", R"(1301,"Lsite1",0,0,0,0)", R"(1311,"LFsite1",0,0,0,0)", R"(1321,"NICAsite1",0,0,0,0)",
    R"(1331,"Tsite",0,0,0,0)", R"(1335,"T1335",0,0,0,0)",  R"(1339,"T1339",0,0,0,0)",   R"(1341,"FA1-",0,0,0,0)",
    R"(1360,"Z1360",0,0,0,0)",
});

std::string header(const std::string& model) { return crlf({"\"" + model + "\""}); }

// A species record with the given ID on Cu+2 (a filler whose ID is what matters).
std::string idRecord(long id)
{
    return crlf({std::to_string(id) + ",\"S" + std::to_string(id) + "\",0,1,0,0,0,0,0,0,0,1", "1,30"});
}

// Enters a new species with up to two components (chosen from cboComp) and asks for an ID.
std::string enter(const std::string& name, const std::string& first, const std::string& second = "")
{
    std::string s = "click cmdAddnew\ntype txtSpname \"" + name + "\"\n";
    s += "type cboComp \"" + first + "\"\ntype txtStoicn \"1\"\nclick cmdNextcomp\n";
    if (!second.empty()) s += "type cboComp \"" + second + "\"\ntype txtStoicn \"1\"\nclick cmdNextcomp\n";
    return s + "click cmdSuggest\n";
}

}  // namespace

TEST(SurfkitAddnew, ComponentListFollowsTheRulesOfEachKind)
{
    DataDir plain("p.mdb", endBlock, ruleComp);
    RUN_OK(plain, R"S(
click cmdAddnew
expect cboComp.items "H+" "P150" "=SOHh" "=SOH" "=S3O" "S859" "Q921" "R951" "R1102" "R1110" "R1111" "Z1360" "H2O"
expect lblMAnote.visible 0
)S");
    DataDir cdb("p.cdb", endBlock, ruleComp);
    RUN_OK(cdb, R"S(
click cmdAddnew
expect cboComp.items "H+" "P150" "=SOHh" "=SOH" "=S3O" "S859" "Q921" "R951" "R952" "R1101" "R1102" "R1110" "R1111" "Z1360" "H2O"
)S");
    DataDir langmuir("l.iso", header("Langmuir") + endBlock, ruleComp);
    RUN_OK(langmuir, R"S(
click cmdAddnew
expect cboComp.items "H+" "P150" "Q921" "R951" "R1111" "Lsite1" "H2O"
)S");
    DataDir nica("n.iso", header("NICA") + endBlock, ruleComp);
    RUN_OK(nica, R"S(
click cmdAddnew
expect cboComp.items "H+" "P150" "Q921" "R951" "R1111" "NICAsite1" "T1339" "H2O"
)S");
    DataDir donnan("d.nic", header("NICA-Donnan") + endBlock, ruleComp);
    RUN_OK(donnan, R"S(
click cmdAddnew
expect cboComp.items "H+" "P150" "Q921" "R951" "R1111" "FA1-" "Z1360" "H2O"
)S");
    DataDir freundlich("f.iso", header("Freundlich") + endBlock, ruleComp);
    RUN_OK(freundlich, "click cmdAddnew\nexpect lblMAnote.visible 1\n");
}

TEST(SurfkitAddnew, PreparesTheWindowForANewSpecies)
{
    DataDir d("s.mdb", crlf({R"(11000010,"CuFA",1,2,0,2.5,1,0,0,0,0,2)", "1,30,1,3"}) + endBlock);
    RUN_OK(d, R"S(
pick lstReactions "CuFA"
expect txtLk2.visible 1
click cmdAddnew
expect lstReactions.index 0
expect txtName.text ""
expect txtID.text ""
expect txtlogk.text ""
expect txtdhr.text ""
expect txtCharge.text ""
expect txtNocomp.text "0"
expect txtComp(1).text ""
expect txtComp(1).visible 0
expect lblStoich(2).visible 0
expect txtLk2.visible 0
expect lblLk2.visible 0
expect cmdDelete.visible 0
expect lblAddnew.visible 1
expect txtSpname.visible 1
expect cboComp.visible 1
expect txtStoicn.visible 1
expect cmdNextcomp.visible 1
expect cmdSuggest.visible 1
expect lblComp.caption "Component no. 1"
)S");
}

TEST(SurfkitAddnew, NextComponentTakesRowsInEvenWhenEmpty)
{
    DataDir d("s.mdb", endBlock);
    RUN_OK(d, R"S(
click cmdAddnew
pick cboComp "Cu+2"
type txtStoicn "2"
click cmdNextcomp
expect txtComp(1).text "Cu+2"
expect txtStoich(1).text "2"
expect txtComp(1).visible 1
expect lblStoich(1).visible 1
expect txtMBstoich(1).visible 0
expect cboComp.text ""
expect txtStoicn.text ""
expect lblComp.caption "Component no. 2"
click cmdNextcomp
click cmdNextcomp
expect txtComp(2).text ""
expect txtComp(3).visible 1
expect txtStoich(3).text ""
expect lblComp.caption "Component no. 4"
)S");
}

TEST(SurfkitAddnew, ANinthComponentIsRefused)
{
    DataDir d("s.mdb", endBlock);
    std::string script = "click cmdAddnew\ntype txtSpname \"Eight\"\n";
    for (int i = 1; i <= 8; ++i) script += "pick cboComp \"Cu+2\"\ntype txtStoicn \"1\"\nclick cmdNextcomp\n";
    script += R"S(
expect lblComp.caption "Component no. 9"
pick cboComp "H+"
type txtStoicn "1"
click cmdNextcomp
expect cboComp.text "H+"
expect lblComp.caption "Component no. 9"
click cmdSuggest
expect lstReactions.count 0
expect txtNocomp.text "0"
)S";
    const auto r = RUN_OK(d, script);
    const std::string refusal = critical("Quenvar error", "A species can have no more than eight components");
    const auto first = r.output.find(refusal);
    ASSERT_NE(first, std::string::npos) << r.output;
    EXPECT_NE(r.output.find(refusal, first + 1), std::string::npos) << r.output;  // cmdSuggest's pending one too
}

TEST(SurfkitSuggest, TakesThePendingComponentAndListsTheNameOnEveryClick)
{
    DataDir d("s.mdb", crlf({R"(8120030,"=SOH2+",0,7.29,0,0,1,0,0,0,0,2)", "1,812,1,3"}) + endBlock);
    RUN_OK(d, R"S(
click cmdAddnew
type txtSpname "CuOH+"
pick cboComp "Cu+2"
type txtStoicn "1"
click cmdNextcomp
pick cboComp "H+"
type txtStoicn "-1"
click cmdSuggest
expect txtComp(2).text "H+"
expect txtStoich(2).text "-1"
expect lblComp.caption "Component no. 3"
expect txtNocomp.text "2"
expect lstReactions.items "=SOH2+" "CuOH+"
expect lstReactions.text "CuOH+"
expect txtName.text "CuOH+"
expect txtID.text "300030"
expect txtLk2.visible 0
click cmdSuggest
expect lstReactions.items "=SOH2+" "CuOH+" "CuOH+"
expect txtNocomp.text "2"
expect txtID.text "300030"
)S");
}

TEST(SurfkitSuggest, ProposalBlocks)
{
    struct Case {
        const char* what;
        std::vector<long> used;
        const char* first;
        const char* second;
        const char* expected;
    };
    std::vector<long> fullBlock, swappedBlock, sameBlock;
    for (long d = 0; d < 10; ++d) {
        fullBlock.push_back(300030 + d);    // Cu+2 (30), H+ (3)
        swappedBlock.push_back(30300 + d);  // H+ (3), Cu+2 (30)
        sameBlock.push_back(300300 + d);    // Cu+2 twice
    }
    std::vector<long> both = fullBlock;
    both.insert(both.end(), swappedBlock.begin(), swappedBlock.end());
    std::vector<long> bothAndNext = both;
    bothAndNext.push_back(30311);
    const Case cases[] = {
        {"empty database", {}, "Cu+2", "H+", "300030"},
        {"free digit", {300030, 300031, 300033}, "Cu+2", "H+", "300032"},
        {"swapped block", fullBlock, "Cu+2", "H+", "30300"},
        {"both blocks full", both, "Cu+2", "H+", "30311"},
        {"both full, next used", bothAndNext, "Cu+2", "H+", "30312"},
        {"same component twice", sameBlock, "Cu+2", "Cu+2", "300311"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string db;
        for (long id : c.used) db += idRecord(id);
        DataDir d("s.mdb", db + endBlock);
        RUN_OK(d, enter("New", c.first, c.second) + "expect txtID.text \"" + c.expected + "\"\n");
        EXPECT_EQ(d.read("s.mdb"), db + endBlock);  // a proposal writes nothing
    }
}

TEST(SurfkitSuggest, NeverProposesAnIdUsedBeyondThe4000thRecord)
{
    std::string db;
    for (long k = 0; k < 4001; ++k) db += idRecord(2000000 + k);
    db += idRecord(300030);
    DataDir d("s.mdb", db + endBlock);
    RUN_OK(d, enter("New", "Cu+2", "H+") + "expect txtID.text \"300031\"\n");
}

TEST(SurfkitSuggest, IsothermSiteNumbers)
{
    struct Case {
        const char* file;
        const char* model;
        const char* first;
        const char* expected;
        bool parameterShown;
    };
    const Case cases[] = {
        {"f.iso", "Freundlich", "Cu+2", "13010300", false},
        {"l.iso", "Langmuir", "Lsite2", "13020300", false},
        {"l.iso", "Langmuir", "Lsite1", "13010300", false},
        {"lf.iso", "Langmuir-Freundlich", "LFsite1", "13110300", true},
        {"lf.iso", "Langmuir-Freundlich", "LFsite1 ", "13010300", false},
        {"t.iso", "Temkin", "Cu+2", "13310300", true},
        {"n.nic", "NICA-Donnan", "FA1-", "13410300", true},
    };
    const std::string comp = compMdb + crlf({R"(1312,"LFsite2",0,0,0,0)"});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " / " + c.first);
        DataDir d(c.file, header(c.model) + endBlock, comp);
        const std::string shown = c.parameterShown ? "1" : "0";
        RUN_OK(d, enter("New", c.first, "Cu+2") + "expect txtID.text \"" + c.expected + "\"\n" +
                      "expect txtLk2.visible " + shown + "\nexpect lblLk2.visible " + shown + "\n" +
                      (c.parameterShown ? "expect txtLk2.text \" 0\"\n" : ""));
    }
    // With NICA the site species also gets p and m-ref fields set to 0.
    DataDir nica("n.iso", header("NICA") + endBlock);
    RUN_OK(nica, enter("New", "NICAsite1", "Cu+2") + R"S(
expect txtID.text "13210300"
expect txtLk2.text " 0"
expect txtdhr.text " 0"
expect txtKsel.visible 1
expect txtKsel.text " 0"
)S");
}

TEST(SurfkitSuggest, ASingleComponentKeepsTheSecondIdOfTheLastSuggestion)
{
    DataDir d("s.mdb", endBlock);
    RUN_OK(d, enter("One", "Ca+2") + "expect txtID.text \"90000\"\nanswer discard\n" + enter("Two", "Cu+2", "H+") +
                  "expect txtID.text \"300030\"\nanswer discard\n" + enter("Three", "Ca+2") +
                  "expect txtID.text \"90030\"\n");
}
