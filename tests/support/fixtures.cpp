#include "fixtures.h"

#include "quenvar/files.h"

namespace qvtest {

std::string dabaseNaming(const std::string& root)
{
    auto at = [&](const char* name) { return "\"" + qv::joinPath(root, name) + "\""; };
    return crlf({at("thermo.mdb") + "," + at("type6.mdb") + "," + at("comp.mdb") + "," + at("gaussian.mdb")});
}

void writeDabase(const TempDir& dir) { dir.write("dabase.txt", dabaseNaming(dir.path())); }

}  // namespace qvtest
