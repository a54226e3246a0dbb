#include "generate.h"

#include "quenvar/files.h"
#include "quenvar/record.h"

namespace qvbench {

std::string sorptionFile(const std::string& kind, int species)
{
    qv::RecordWriter w;
    if (kind == "iso") w.text("Freundlich").endLine();
    if (kind == "nic") w.text("NICA-Donnan").endLine();
    if (kind == "bli") {
        w.text("BLM parameters").endLine();
        w.text("Critical f value").number(0.5).endLine();
    }
    const bool mb = kind == "iso";
    for (int i = 0; i < species; ++i) {
        // Species on the =SOH group (812) with a second component cycling through 40 others;
        // the IDs run 8120000, 8120001, ... so the block of 812 is full for a long stretch.
        const int id = 8120000 + i;
        const int second = 3 + (i % 40);
        w.whole(id).text("Species " + std::to_string(i + 1)).number(kind == "nic" ? 0 : -12.5 + i * 0.001);
        w.number(2.5 + (i % 17) * 0.25).number(kind == "cdb" ? 1.25 : 0).number(kind == "bli" ? (i % 2) : 0);
        w.number(i % 3 - 1).number(0).number(0).number(0).number(0).whole(mb ? 102 : 2).endLine();
        w.number(1).whole(812).number(i % 2 ? 1 : 2).whole(second).endLine();
        if (mb) {
            w.whole(1).endLine();
            w.number(0.5).whole(second).endLine();
        }
    }
    w.whole(0).text("").whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).endLine();
    w.whole(0).whole(0).endLine();
    w.whole(0).text("For QUENVAR").whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).endLine();
    w.whole(0).whole(0).endLine();
    w.whole(0).text("").whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).endLine();
    w.whole(0).whole(0).endLine();
    return w.take();
}

std::string compFile(int records)
{
    // The surface groups come first, within the 400 records that the species display reads.
    qv::RecordWriter w;
    w.whole(811).text("=SOHh").whole(0).number(1.5).whole(0).whole(0).endLine();
    w.whole(812).text("=SOH").whole(0).number(1.5).whole(0).whole(0).endLine();
    w.whole(816).text("=S3O").whole(0).number(1.5).whole(0).whole(0).endLine();
    for (int id = 1; id <= records - 3; ++id) {
        if (id == 811 || id == 812 || id == 816) continue;
        w.whole(id).text("Comp" + std::to_string(id)).whole((id % 5) - 2).number(1.5).number(id % 7).whole(0).endLine();
    }
    return w.take();
}

std::string thermoFile(int species, bool solids)
{
    qv::RecordWriter w;
    for (int i = 1; i <= species; ++i) {
        const int id = (solids ? 6000000 : 100000) + i;
        w.whole(id).text((solids ? "Solid" : "Aq") + std::to_string(i) + (i % 2 ? "+" : "-"));
        w.number(i * 0.01)
            .number(-5.5)
            .whole(0)
            .whole(0)
            .whole(i % 2 ? 1 : -1)
            .number(4.5)
            .whole(0)
            .whole(0)
            .whole(2)
            .endLine();
        w.whole(1).whole(3 + i % 40).whole(-1).whole(5).endLine();
        w.number(18.5).text("Generated").text("").endLine();
    }
    w.whole(0).text("END").whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).endLine();
    w.whole(0).text("").text("").endLine();
    return w.take();
}

std::string analytFile(int solids, int aqueous)
{
    qv::RecordWriter w;
    w.text("Generated analyte database").endLine();
    auto record = [&](int id, const std::string& name) {
        w.whole(id)
            .text(name)
            .number(-8.5)
            .number(0.0125)
            .number(1250)
            .whole(0)
            .number(-2.5E-05)
            .whole(0)
            .whole(0)
            .endLine();
    };
    for (int i = 1; i <= solids; ++i) record(6000000 + i, "Solid" + std::to_string(i) + (i % 2 ? "+" : "-"));
    w.whole(0).text("").whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).endLine();
    for (int i = 1; i <= aqueous; ++i) record(100000 + i, "Aq" + std::to_string(i) + (i % 2 ? "+" : "-"));
    w.whole(0).text("").whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).whole(0).endLine();
    return w.take();
}

std::string sitFile(int pairs)
{
    qv::RecordWriter w;
    for (int i = 0; i < pairs; ++i)
        w.text("Aq" + std::to_string(2 * (i / 60) + 1) + "+")
            .text("Aq" + std::to_string(2 * (i % 60) + 2) + "-")
            .number(0.01 * (i % 30))
            .text("Generated table " + std::to_string(i % 9))
            .endLine();
    return w.take();
}

std::string siteFile()
{
    qv::RecordWriter w;
    w.whole(10).endLine();
    for (int s = 0; s < 10; ++s) {
        w.text(s == 0 ? "General settings" : "Cation " + std::to_string(s)).endLine();
        w.whole(8).whole(12).whole(16).endLine();
        for (int i = 0; i < 8; ++i) w.whole(1 + i % 8).endLine();
        for (int i = 0; i < 12; ++i) w.whole(1 + i % 8).whole(1 + (i + 1) % 8).endLine();
        for (int i = 0; i < 16; ++i) w.whole(1 + i % 8).whole(1 + (i + 1) % 8).whole(1 + (i + 2) % 8).endLine();
    }
    w.whole(4).endLine();
    for (double f : {0.4, 0.3, 0.2, 0.1}) w.number(f).endLine();
    return w.take();
}

std::string defaultsFile(const std::string& dataDir)
{
    qv::RecordWriter w;
    w.text(dataDir).endLine();
    w.whole(2).whole(0).whole(1).whole(0).whole(1).whole(0).endLine();
    w.text(qv::joinPath(dataDir, "thermo.mdb"))
        .text(qv::joinPath(dataDir, "type6.mdb"))
        .text(qv::joinPath(dataDir, "comp.mdb"))
        .text(qv::joinPath(dataDir, "gaussian.mdb"))
        .endLine();
    w.number(1E-09).whole(-3).whole(3).endLine();
    w.number(0.3).endLine();
    w.whole(600).number(0.02439).number(2.3122).endLine();
    w.whole(746).number(0.36).number(1.695).endLine();
    for (double v : {0.5, 7.5, 3.0, 3.0, 0.01, 4.0, 750.0, 1.02, 5.0, 1.3, 5.0}) w.number(v);
    w.endLine();
    return w.take();
}

std::string dabaseFile(const std::string& dataDir)
{
    qv::RecordWriter w;
    w.text(qv::joinPath(dataDir, "thermo.mdb"))
        .text(qv::joinPath(dataDir, "type6.mdb"))
        .text(qv::joinPath(dataDir, "comp.mdb"))
        .text(qv::joinPath(dataDir, "gaussian.mdb"))
        .endLine();
    return w.take();
}

}  // namespace qvbench
