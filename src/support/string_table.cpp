#include "support/string_table.h"

#include <array>
#include <utility>

namespace {

// English texts. Ids that no message of this program uses are absent.
constexpr std::array<std::pair<int, const char*>, 35> kEnglish{{
    {129, "This %dMB card is not conditioned.\nDo you want to condition the card?"},
    {130, "The card has now been initialised."},
    {131, "Card not found.\nCheck the card is correctly inserted into the reader."},
    {132, "You must enter the drive letter for the card."},
    {133, "Pulsenote CF Interface Program"},
    {134, "The FIR filter element file could not be found."},
    {135, "The ECG data has now been read."},
    {136, "There was an error while the ECG was being read."},
    {137,
     "There was an error while the card was being initialised or conditioned.\nThe operation "
     "could not be completed."},
    {138,
     "The card has a speech recording associated with this ECG recording.\nWould you like to hear "
     "it?"},
    {139,
     "There was an error while the card was being read.\nCheck that the card is correctly "
     "inserted into the reader."},
    {141,
     "One of more of the Memory Mapped Files used to send the ECG data to the application failed "
     "to open.\nYou will need to restart the application."},
    {142, "Serious Error During ECG Data Extraction"},
    {143,
     "The card contains invalid directories or files (possibly readonly).\nThese must be deleted "
     "before the card can be used.\n\nDo you want to delete all files from the card now ?"},
    {144, "All directories and files have been deleted from the card."},
    {145, "There was an error while deleting directories and files from the card."},
    {147,
     "This CF card has unread ECG data on it.\nAre you sure you want to initialise the card ?"},
    {149, "The ECG could not be marked as read."},
    {151,
     "Error 117  - more than one Pulsenote CF card found.\n Please ensure only one Pulsenote CF "
     "card is inserted."},
    {152,
     "Drive Letter % selected.\nWarning - more than one Pulsenote CF found.\nPlease check "
     "selected drive letter is the intended CF card."},
    {153,
     "This recording cannot be marked as read.\nIt may have been loaded from either a CD-ROM, or "
     "a read-only network folder"},
    {154,
     "The ECG data is unreadable, but it may be recoverable.\n\nNOTE: If the ECG is successfully "
     "recovered, the recording time will be set to 00:00:00 on 01/01/2000.\n\nWould you like to "
     "try to recover the ECG?"},
    {155, "The ECG could not be recovered."},
    {156, "Pulsenote CF Interface Program %s"},
    {157,
     "Could not find a valid CF card to configure.\nWould you like to select the drive for the "
     "CF card ?"},
    {158,
     "This %dMB card is not conditioned.\nDo you want to condition the card?\n\n!!!! WARNING "
     "!!!!! WARNING !!!! WARNING !!!!\n\nThis is NOT a Pulsenote CF card! Conditioning it will "
     "erase all data from it!"},
    {160, "It was not possible to create a temporary folder in which to store the ecg data."},
    {161, "The \"SZIP\" utility program is missing, or it has returned an error."},
    {162, "An error occurred while writing a file extracted from the CEF."},
    {163, "The CEF file is not valid."},
    {164, "The requested ECG output type is not supported for CEF files."},
    {165,
     "It was not possible to install SZIP.EXE.\nYou can continue using KADO for normal use, but "
     "you will be unable to use it to access \"CEF\" files."},
    {166, "Could not find the loader for Bastion ECG files: \"StratusStandardECGLoader.exe\""},
    {167, "Cannot find a \".LDSC\" file in the folder:"},
    {168,
     "The \"SZIP\" utility program returned the error code %d while unpacking a CEF file.\n%s"
     "\n\nRetry runs it again; Cancel stops reading the CEF file."},
}};

}  // namespace

std::string load_string(int id) {
    for (const auto& [key, text] : kEnglish)
        if (key == id) return text;
    return {};
}
