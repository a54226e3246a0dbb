#include "fixtures.h"

namespace qvtest {

std::string dabaseNaming(const std::string& root)
{
    const std::string at = root + "/";
    return crlf({"\"" + at + "thermo.mdb\",\"" + at + "type6.mdb\",\"" + at + "comp.mdb\",\"" + at + "gaussian.mdb\""});
}

void writeDabase(const TempDir& dir) { dir.write("dabase.txt", dabaseNaming(dir.path())); }


}  // namespace qvtest
