// surfkit window logic in process: a failure injected at each step of every rewrite (save of a
// changed species, save of a new species, deletion, save to a new database) is reported, leaves
// the database byte for byte as it was, leaves no temporary file, and keeps the window's fields.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "quenvar/error.h"
#include "quenvar/files.h"
#include "quenvar/script.h"
#include "script_fixture.h"
#include "shown.h"
#include "surfkit/window.h"

using namespace sktest;

namespace {

struct Outcome {
    int status = -1;
    std::string output;
    int steps = 0;         // file steps the program took
    std::string failedAt;  // the file of the step that was made to fail
};

// Runs a script against a window started in the data directory, failing the `failStep`-th step
// of writing a file (from 1; 0 fails none). The deletion of the hand-off file at start-up is no
// step of a rewrite and is not counted.
Outcome runInProcess(const DataDir& data, const std::string& script, int failStep)
{
    data.handOff();
    const std::string dir = data.dir.path();
    std::ostringstream out;
    qv::script::ScriptPlatform platform(out);
    qv::forms::Application app(platform);
    surfkit::Program program(app, dir);
    Outcome o;
    program.files().faultHook = [&](qv::FileStep step, const std::string& path) {
        if (path.size() >= 12 && path.compare(path.size() - 12, 12, "sorptemp.dat") == 0) return;
        if (++o.steps == failStep) {
            o.failedAt = path;
            throw qv::Error(qv::ErrorKind::WriteFailed, path, qv::stepName(step));
        }
    };
    std::istringstream in(script);
    o.status = qv::script::run(program, app, platform, in, out);
    o.output = out.str();
    return o;
}

const std::string db = crlf({R"(300030,"A",0,1,0,0,1,0,0,0,0,2)", "1,30,-1,3", R"(310030,"B",-5,2.5,0,0,1,0,0,0,0,2)",
                             "1,31,-1,3", R"(90030,"C",0,3,0,0,1,0,0,0,0,1)", "1,9"}) +
                       endBlock;

struct Operation {
    const char* name;
    std::string script;     // the user's action
    std::string unchanged;  // what the window must still show after a failure
};

const Operation operations[] = {
    {"save a change", "pick lstReactions \"B\"\ntype txtlogk \"9\"\nanswer yes\nclick cmdSavedb\n",
     "expect txtlogk.text \"9\"\nexpect lstReactions.text \"B\"\nexpect lstReactions.count 3\n"},
    {"save a new species",
     "click cmdAddnew\ntype txtSpname \"New\"\npick cboComp \"Ca+2\"\ntype txtStoicn \"1\"\nclick cmdSuggest\n"
     "type txtlogk \"2\"\ntype txtCharge \"2\"\nanswer yes\nclick cmdSavedb\n",
     "expect txtSpname.visible 1\nexpect txtSpname.text \"New\"\nexpect lstReactions.items \"A\" \"B\" \"C\" \"New\"\n"
     "expect txtComp(1).text \"Ca+2\"\n"},
    {"delete", "pick lstReactions \"B\"\nanswer yes\nclick cmdDelete\n",
     "expect lstReactions.items \"A\" \"B\" \"C\"\nexpect lstReactions.text \"B\"\nexpect txtName.text \"B\"\n"},
    {"save to a new database", "pick lstReactions \"B\"\ntype txtlogk \"9\"\ndialog \"copy.mdb\"\nclick cmdNewDb\n",
     "expect txtlogk.text \"9\"\nexpect lstReactions.text \"B\"\nexpect lblNameDb.caption \"s.mdb\"\n"},
    {"save over another database",
     "pick lstReactions \"B\"\ntype txtlogk \"9\"\ndialog \"other.mdb\"\nclick cmdNewDb\n",
     "expect txtlogk.text \"9\"\nexpect lstReactions.text \"B\"\nexpect lblNameDb.caption \"s.mdb\"\n"},
};

// A database that a save to a new database may overwrite.
const std::string other = crlf({R"(10,"Other",0,1,0,0,0,0,0,0,0,1)", "1,3"}) + endBlock;

}  // namespace

TEST(SurfkitRewriteFaults, EveryStepOfEveryRewriteFailsCleanly)
{
    for (const Operation& op : operations) {
        SCOPED_TRACE(op.name);
        // The run without a failure: the operation changes the file and takes its steps.
        DataDir cleanData("s.mdb", db);
        cleanData.write("other.mdb", other);
        const Outcome ok = runInProcess(cleanData, op.script, 0);
        ASSERT_EQ(ok.status, 0) << ok.output;
        const std::string changed = cleanData.exists("copy.mdb")           ? cleanData.read("copy.mdb")
                                    : cleanData.read("other.mdb") != other ? cleanData.read("other.mdb")
                                                                           : cleanData.read("s.mdb");
        ASSERT_NE(changed, db);
        ASSERT_GE(ok.steps, 5);  // open, write, flush, close, rename at least

        for (int k = 1; k <= ok.steps; ++k) {
            SCOPED_TRACE("failing step " + std::to_string(k));
            DataDir d("s.mdb", db);
            d.write("other.mdb", other);
            const Outcome o = runInProcess(d, op.script + op.unchanged, k);
            EXPECT_EQ(o.status, 0) << o.output;
            ASSERT_FALSE(o.failedAt.empty());
            EXPECT_NE(o.output.find("message \"Quenvar error\" \"Write failed"), std::string::npos) << o.output;
            EXPECT_NE(o.output.find(qvtest::shown(o.failedAt) + "\" ok critical -> ok"), std::string::npos) << o.output;
            EXPECT_EQ(d.read("s.mdb"), db);
            // Nothing is left behind but what the directory held and the backup of the file the save
            // meant to replace (holding that file's content): a new database is not made at all, and a
            // database that the save would have replaced keeps its content.
            for (const std::string& entry : d.dir.entries()) {
                if (entry == "s.mdb.bak" || entry == "other.mdb.bak") {
                    EXPECT_EQ(d.read(entry), entry == "s.mdb.bak" ? db : other);
                    continue;
                }
                EXPECT_TRUE(entry == "s.mdb" || entry == "comp.mdb" || entry == "dabase.txt" || entry == "other.mdb")
                    << entry;
            }
            EXPECT_EQ(d.read("other.mdb"), other);
        }
    }
}

TEST(SurfkitRewriteFaults, AFailedCopyKeepsTheWindowOnTheOldDatabase)
{
    DataDir d("s.mdb", db);
    // The first step of cmdNewDb is the copy.
    const Outcome o = runInProcess(d,
                                   "pick lstReactions \"B\"\ndialog \"copy.mdb\"\nclick cmdNewDb\n"
                                   "expect lblNameDb.caption \"s.mdb\"\n"
                                   "type txtlogk \"8\"\nanswer yes\nclick cmdSavedb\n",
                                   1);
    EXPECT_EQ(o.status, 0) << o.output;
    EXPECT_FALSE(d.exists("copy.mdb"));
    EXPECT_EQ(linesOf(d.read("s.mdb"))[2], R"(310030,"B",-5,8,0,0,1,0,0,0,0,2)");
}

namespace {

// Script mode's platform that also keeps the buttons of every message box.
struct ButtonsKept : qv::script::ScriptPlatform {
    using ScriptPlatform::ScriptPlatform;
    qv::forms::Answer message(const std::string& text, const std::string& title, qv::forms::Buttons buttons,
                              qv::forms::Icon icon) override
    {
        kept.push_back(buttons);
        return ScriptPlatform::message(text, title, buttons, icon);
    }
    std::vector<qv::forms::Buttons> kept;
};

}  // namespace

TEST(SurfkitQuestions, TheDeleteQuestionHasNoAsItsDefaultAndTheSaveQuestionYes)
{
    DataDir d("s.mdb", db);
    d.handOff();
    std::ostringstream out;
    ButtonsKept platform(out);
    qv::forms::Application app(platform);
    surfkit::Program program(app, d.dir.path());
    std::istringstream in("pick lstReactions \"B\"\nanswer no\nclick cmdDelete\nanswer no\nclick cmdSavedb\n");
    EXPECT_EQ(qv::script::run(program, app, platform, in, out), 0) << out.str();
    EXPECT_EQ(platform.kept,
              (std::vector<qv::forms::Buttons>{qv::forms::Buttons::YesNoDefaultNo, qv::forms::Buttons::YesNo}));
    // Script mode shows both as the Yes/No box they are; the question keeps its text.
    EXPECT_NE(out.str().find("message \"Deletion of species - Quenvar\" \"Are you really sure you would like to delete "
                             "this species from the database? Once deleted it is gone!\" yesno question -> no"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(d.read("s.mdb"), db);
}
