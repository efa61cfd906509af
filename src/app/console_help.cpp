#include "app/console_help.h"

#include <cstdio>

#include "support/exit_codes.h"
#include "support/version_info.h"

namespace {

constexpr const char* kUsage = R"(Usage: kado OPTION...
       kado --help | --version

Prepares Pulsenote CF cards for a recording and reads recordings back for an analysis
application. The outcome is the exit code. Options and mode words match by case-insensitive
prefix; quote as a Windows caller would (kado '/dir="/tmp/My Data"' /readpat=scan).

Run modes:
  /write=cnav|corrie      1   initialise the card with the patient of patsumm.dat and cnavop.dat
  /write=path             2   Initialise dialog, prefilled from patsumm.dat
  /write=stand            3   Initialise dialog
  /write=scan             4   as mode 2
  /write=westbury         5   as mode 2, with the event text of cnavop.dat
  /readpat=cnav           6   patient data, speech recording, events, cnav.dat and cnavop.dat
  /readpat=path|corrie    7   patient data, speech recording and events (or the getpat loader)
  /readpat=stand          8   Read dialog
  /readpat=scan           9   as mode 6 without the cnav files
  /readecg=hide          10   the ECG in the /opformat= format (or the getecg loader)
  /readecg=stand         11   Read dialog, archive output
  /changepat=cnav        12   the patient of patsumm.dat onto a recorded card (see /confirmed)
  /wav                   13   the drive whose card holds a speech recording of its ECG
  /setpat=FILE           14   PatientName and PatientId of an INI file onto the card
  /readpat=status        15   the card's recording status

Options:
  /dir=FOLDER             output folder (created one level deep when missing)
  /ipdir=FOLDER|CEF       input: a card copy, an unpacked recording or a CEF archive
  /opformat=path|archive|cnav|mmf|pn12file|pn12arch|edf   output of an ECG read
  /skip=H, /skip24        start the read H (or 24) hours in
  /duration=H             read at most H hours (path, pn12file: at most 28)
  /cal=S                  calibration seconds (at most 3600)
  /resolution=8..12       sample resolution in bits
  /overview               also write overview.html, a printable page of the ECG read
  /fir, /nofir            load fir.dat from the output folder when initialising
  /confirmed              allow a patient change on a card with a recording
  /procedure_id=TEXT      up to 16 characters
  /instance=TEXT          names the terminator event of a read
  /basemmfname=TEXT       prefix of the mapped-section names

Dialogs (modes 2 to 5, 8 and 11, and mode 1 when the drive must be chosen) are shown on standard
error and read one answer per line from standard input: a button's key or a field edit such as
name=TEXT, as the dialog lists them; message boxes take y/n, o/c or r. At the end of input a
dialog takes Exit and a message box its safe answer (No, Cancel, OK).

Environment: KADO_DRIVES (the drive map folder), KADO_CAL, KADO_RECLEN_LIMIT, KADO_TRACE,
KADO_EXTRA_BUTTONS (the Initialise dialog's start-sector buttons).

Exit codes:
)";

}  // namespace

std::optional<std::string> information_text(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) return std::nullopt;
    if (arguments[0] == "--help") return help_text();
    if (arguments[0] == "--version") return version_text();
    return std::nullopt;
}

std::string help_text() {
    std::string text = kUsage;
    for (const ExitCodeInfo& info : kExitCodes) {
        char line[160];
        std::snprintf(line, sizeof line, "  %3d  %-26s %s\n", info.code, info.name, info.meaning);
        text += line;
    }
    text += "  Mode 13 also exits with a drive letter's character code (65 to 90).\n";
    return text;
}

std::string version_text() {
    return "kado " + VersionInfo().product_version() + "\n";
}
