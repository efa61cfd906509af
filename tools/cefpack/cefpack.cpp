// cefpack: writes a CEF archive from a folder of recording files, for tests. See --help.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "cefpack/cef_writer.h"

namespace {

constexpr const char* kHelp =
    "usage: cefpack [options] FOLDER ARCHIVE\n"
    "\n"
    "Writes ARCHIVE from the recording files in FOLDER: PATIENT.TXT (the patient text),\n"
    "PATIENT.WAV, PATEVENT.DAT, RAWECG1.DAT to RAWECG3.DAT (pn12ecg1.dat to pn12ecg8.dat with\n"
    "--kind=13) as channel members, and every other file as a further named file.\n"
    "\n"
    "  --pack            pack every member with szip's format (one gzip member)\n"
    "  --shift=N         store channel words shifted right by N (the reader shifts them back)\n"
    "  --kind=N          recording kind in the header (13: 12-lead)\n"
    "  --description=T   description text (at most 67 bytes)\n"
    "  --fault=F         break the archive one way: magic, checksum, odd-length (still valid),\n"
    "                    past-end, escaping-name, long-name (262), missing-nul, huge-channels,\n"
    "                    shift16, bad-flag\n"
    "\n"
    "exit codes: 0 written, 1 cannot read or write, 2 usage\n";

int usage(const std::string& error) {
    std::fprintf(stderr, "cefpack: %s\n%s", error.c_str(), kHelp);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    cefpack::Archive archive;
    std::string folder;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](const char* prefix) {
            return arg.rfind(prefix, 0) == 0 ? arg.substr(std::string(prefix).size()) : "";
        };
        if (arg == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--pack")
            archive.pack = true;
        else if (arg.rfind("--shift=", 0) == 0)
            archive.shift = static_cast<uint32_t>(std::atoi(value("--shift=").c_str()));
        else if (arg.rfind("--kind=", 0) == 0)
            archive.kind = static_cast<uint32_t>(std::atoi(value("--kind=").c_str()));
        else if (arg.rfind("--description=", 0) == 0)
            archive.description = value("--description=");
        else if (arg.rfind("--fault=", 0) == 0) {
            if (!cefpack::parse_fault(value("--fault="), archive.fault))
                return usage("unknown fault " + arg);
        } else if (arg.rfind("--", 0) == 0)
            return usage("unknown option " + arg);
        else if (folder.empty())
            folder = arg;
        else if (output.empty())
            output = arg;
        else
            return usage("too many arguments");
    }
    if (output.empty()) return usage("FOLDER and ARCHIVE are needed");
    std::string error;
    if (!cefpack::read_folder(folder, archive, error)) {
        std::fprintf(stderr, "cefpack: %s\n", error.c_str());
        return 1;
    }
    std::ofstream out(output, std::ios::binary);
    out << cefpack::build_archive(archive);
    if (!out.flush()) {
        std::fprintf(stderr, "cefpack: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
