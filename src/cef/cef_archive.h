// CCefArchive: reads one CEF archive into a target folder of recording files. open checks the
// whole layout against the file before anything is written; the extraction operations then write
// the members, unpacking packed ones with the szip tool, and the generated companion files.
// Start-up's CEF road (cef_unpack) is the caller.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cef/cef_format.h"
#include "support/named_event.h"

enum CefError : int {
    kCefOk = 0,
    kCefNoSzip = 1,  // the tool is missing or failed to start
    kCefNoTargetFolder = 2,
    kCefOpenFailed = 3,
    kCefShortHeader = 4,
    kCefFurtherReadError = 5,  // a file error while reading the further named files
    kCefBadMagic = 6,
    kCefPatientText = 7,    // the patient text, or a further file's length or flag, is short
    kCefWriteFailed = 8,    // writing a member into the target folder failed
    kCefSzipCancelled = 9,  // szip failed and the user chose Cancel
    kCefNameTooLong = 10,
    kCefNameTruncated = 11,  // also a name without its terminating zero
    kCefInvalidEntry = 12,   // a flag, offset, length, count, shift or name out of range
    kCefBadChecksum = 13,
    kCefAbsent = 14,   // a requested member is absent or its file is missing
    kCefStopped = 15,  // the caller's terminator event ended the tool
};

struct CefMember {
    uint64_t offset = 0;
    uint64_t length = 0;
    uint32_t flag = 0;  // 0 stored, 1 packed by szip
};

struct CefChannel {
    CefMember member;
    uint32_t parameter_a = 0;
    uint32_t parameter_b = 0;
    uint32_t shift = 0;
};

class CCefArchive {
  public:
    // The terminator ends a running szip (may be null).
    explicit CCefArchive(const NamedEvent* terminator = nullptr) : m_terminator(terminator) {}

    bool open(const std::string& szip_path, const std::string& archive_path,
              const std::string& target_folder);
    // PATIENT.TXT, PATIENT.WAV (when present), CEFDESC.TXT, VERSION.TXT and SUMMARY.TXT.
    bool extract_patient_files();
    bool extract_patevent();
    bool extract_channels();
    // A fixed member, a generated file or a further named file, by name without regard to case.
    // Only the absence of an earlier request's member is forgotten; any other error stays.
    bool extract_by_name(const std::string& name);
    // The whole set for an ECG output; the first failure stops it.
    bool extract_all();

    int error_code() const { return m_error; }
    const std::string& error_item() const { return m_error_item; }
    const CefHeader& header() const { return m_header; }

  private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using FurtherFileVisit = std::function<bool(const std::string& name, const CefMember& data)>;

    bool fail(int error, const std::string& item);
    bool usable() const { return m_file && m_error == kCefOk; }
    bool read_at(uint64_t offset, void* bytes, size_t count);
    bool read_member_table();
    bool read_member(uint64_t& position, CefMember& member, const std::string& name);
    bool check_patient_text();
    // Visits each further file until visit returns false; false when the list is malformed.
    bool for_each_further_file(const FurtherFileVisit& visit);
    bool extract_member(const std::string& name, const CefMember& member);
    bool copy_out(const CefMember& member, const std::string& path);
    bool unpack_with_szip(const std::string& packed, const std::string& target);
    bool extract_channel(uint32_t index);
    bool restore_shift(const std::string& path, uint32_t shift);
    bool write_generated(const std::string& name, const std::string& bytes);
    bool extract_patient_text();
    bool write_recording_file();
    bool extract_further(const std::string& name);

    const NamedEvent* m_terminator;
    std::string m_szip_path;
    std::string m_target_folder;
    std::unique_ptr<std::FILE, FileCloser> m_file;
    uint64_t m_file_size = 0;
    int m_error = kCefOk;
    std::string m_error_item;
    CefHeader m_header;
    CefMember m_patient_wav;
    CefMember m_patevent;
    std::vector<CefChannel> m_channels;
    uint64_t m_further_files_start = 0;
};
