// libFuzzer target for the DXF reader: any bytes either read into a whole
// drawing or fail with a reason, never crash or hang; a drawing that reads
// must also write and read again.

#include "acdxf/dxf.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AcDbDatabase db(false, true);
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (acdxf::readDxf(db, bytes) != Acad::eOk) {
        if (db.lastFileError().empty())
            std::abort(); // a failure must say why
        return 0;
    }
    std::string written;
    if (acdxf::writeDxf(db, written) != Acad::eOk)
        std::abort();
    AcDbDatabase again(false, true);
    if (acdxf::readDxf(again, written) != Acad::eOk)
        std::abort(); // what the host writes, it reads
    return 0;
}
