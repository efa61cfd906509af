#include "cef/cef_input.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "cef/cef_archive.h"
#include "cef/szip_install.h"
#include "handoff/unpacked_folder.h"
#include "support/file_finder.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/string_ids.h"

namespace {

bool before_ignoring_case(const std::string& a, const std::string& b) {
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return lower(x) < lower(y); });
}

int message_of(int error) {
    switch (error) {
        case kCefNoSzip:
        case kCefSzipCancelled:
            return kStringSzipFailed;
        case kCefNoTargetFolder:
        case kCefWriteFailed:
            return kStringCefWriteError;
        default:
            return kStringCefInvalid;
    }
}

}  // namespace

std::string locate_cef_input(const std::string& input, int& channels) {
    channels = 0;
    if (input.empty()) return {};
    if (!folder_exists(input))
        return file_exists(input) && is_cef_file(input, channels) ? input : "";
    if (is_unpacked_recording(input)) {
        channels = folder_channel_count(input);
        return input;
    }
    std::vector<std::string> names;
    for (FileFinder finder(join_path(input, "*.*"), kFindFiles); !finder.done(); finder.next())
        if (finder.size() > kCefHeaderSize) names.push_back(finder.name());
    std::sort(names.begin(), names.end(), before_ignoring_case);
    for (const std::string& name : names)
        if (is_cef_file(join_path(input, name), channels)) return join_path(input, name);
    channels = 0;
    return {};
}

std::string unpack_cef_input(RunMode mode, const std::string& archive,
                             const NamedEvent* terminator) {
    const std::string folder = make_temp_folder("TMP");
    // Going on would open into an empty path and then delete it with everything in it.
    if (folder.empty()) {
        show_string(kStringNoTempFolder, MessageButtons::kOk, MessageIcon::kStop);
        return {};
    }
    int error = kCefOk;
    {
        CCefArchive cef(terminator);
        if (cef.open(find_szip(), archive, folder)) {
            if (mode == kModeReadEcgHide) {
                cef.extract_all();
            } else {
                cef.extract_patient_files();
                cef.extract_patevent();
                for (const char* name : {"CNAV.DAT", "CNAVOP.DAT", "PATSUMM.DAT"})
                    cef.extract_by_name(name);
            }
        }
        error = cef.error_code();
    }
    if (error == kCefOk) return folder;
    delete_tree(folder, true, true);
    if (error != kCefStopped)
        show_string(message_of(error), MessageButtons::kOk, MessageIcon::kStop);
    return {};
}
