// The record reader on arbitrary bytes: every field is read as each kind the tools ask for,
// and what is read is written back and read again to the same fields.
#include <cstdint>
#include <string>
#include <vector>

#include "quenvar/error.h"
#include "quenvar/record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<qv::Field> fields;
    {
        qv::RecordReader in(bytes, "fuzz");
        try {
            while (!in.atEnd()) fields.push_back(in.field());
        } catch (const qv::Error&) {
        }
    }
    // The same bytes asked with the typed reads must fail cleanly or succeed, never crash.
    for (int mode = 0; mode < 4; ++mode) {
        qv::RecordReader in(bytes, "fuzz");
        try {
            while (!in.atEnd()) {
                switch (mode) {
                case 0: in.number(); break;
                case 1: in.whole32(); break;
                case 2: in.whole16(); break;
                default: in.single(); break;
                }
            }
        } catch (const qv::Error&) {
        }
    }
    // Written and read back: every writable field comes back with the same kind and value.
    qv::RecordWriter out("fuzz");
    std::vector<qv::Field> written;
    for (const qv::Field& f : fields) {
        if (f.isText() && (!qv::writableText(f.asText()) || f.asText().find_first_of("\r\n") != std::string::npos))
            continue;
        out.field(f);
        written.push_back(f);
    }
    out.endLine();
    // A line of one Empty field is a blank line, which reads as no field at all.
    if (written.empty() || (written.size() == 1 && written[0].isEmpty())) return 0;
    qv::RecordReader back(out.bytes(), "fuzz");
    for (const qv::Field& f : written) {
        const qv::Field g = back.field();
        if (f.isNumber()) {
            if (!g.isNumber()) __builtin_trap();
        } else if (f.isText()) {
            // A Text that looks like a number or has outer blanks still reads back as that Text.
            if (!g.isText() || g.asText() != f.asText()) __builtin_trap();
        } else if (!g.isEmpty()) {
            __builtin_trap();
        }
    }
    return 0;
}
