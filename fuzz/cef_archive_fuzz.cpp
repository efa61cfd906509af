// Fuzzes the CEF archive reader: open and extract_all on an archive of the input's bytes, then a
// request by name. Whatever the archive says, nothing may be written outside the target folder
// and no temporary file may stay behind. The szip path names a file that cannot run, so packed
// members end as a missing tool instead of costing a process per input. The checksum is set
// right before the archive is written, so mutations reach the layout checks behind it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cef/cef_archive.h"
#include "fuzz_scratch.h"
#include "support/byte_order.h"
#include "support/file_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::ScratchFolder scratch("cef");
    static const std::string temp = [] {
        const std::string folder = scratch.folder("tmp");
#if defined(_WIN32)
        _putenv_s("TMP", folder.c_str());
#else
        setenv("TMPDIR", folder.c_str(), 1);
#endif
        fuzz::silence_message_boxes();
        return folder;
    }();
    const std::string archive = join_path(scratch.path().string(), "in.cef");
    const std::string target = scratch.folder("target");
    std::vector<uint8_t> bytes(data, data + size);
    if (size >= 4) {
        std::vector<uint8_t> padded(bytes);
        padded.resize((size + 3) / 4 * 4);
        uint32_t checksum = 0;
        for (size_t i = 4; i < padded.size(); i += 4)
            checksum ^= get_u32le(padded.data() + i);
        put_u32le(bytes.data(), checksum);
    }
    fuzz::write_bytes(archive, bytes.data(), bytes.size());
    const fuzz::FileSet before = fuzz::file_set(scratch.path(), "target");

    {
        CCefArchive cef;
        if (cef.open(archive, archive, target)) {
            cef.extract_all();
            cef.extract_by_name("PATSUMM.DAT");
        }
    }
    fuzz::require(fuzz::file_set(scratch.path(), "target") == before,
                  "the archive wrote outside its target folder");
    fuzz::require(fuzz::file_set(temp).empty(), "a temporary member file stayed behind");
    delete_tree(target, true, true);
    return 0;
}
