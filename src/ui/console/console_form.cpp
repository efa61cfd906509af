#include "ui/console/console_form.h"

#include <cctype>
#include <iostream>

#include "support/string_ids.h"
#include "support/string_table.h"
#include "support/text_format.h"
#include "support/version_info.h"

void print_caption() {
    std::cerr << '\n'
              << format_resource(kStringAppTitleVersion, VersionInfo().product_version().c_str())
              << '\n';
}

std::string control_label(int text_id) {
    std::string label;
    for (const char c : load_string(text_id)) {
        if (c == '&') continue;
        label += c == '\n' ? ' ' : c;
    }
    return label;
}

void print_field(int label_id, const char* edit_form, const std::string& value) {
    std::cerr << "  " << control_label(label_id);
    if (edit_form != nullptr) std::cerr << " (" << edit_form << ')';
    std::cerr << ": " << value << '\n';
}

void print_buttons_and_prompt(const std::vector<ConsoleButton>& buttons) {
    std::string keys;
    for (const ConsoleButton& button : buttons) {
        std::cerr << (keys.empty() ? "  " : "   ") << button.key << ") "
                  << control_label(button.text_id);
        keys += keys.empty() ? "" : "/";
        keys += button.key;
    }
    std::cerr << "\n[" << keys << "] " << std::flush;
}

std::optional<std::string> read_answer() {
    std::string line;
    if (!std::getline(std::cin, line)) {
        std::cerr << '\n';
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

char button_key(const std::string& answer, const std::vector<ConsoleButton>& buttons) {
    if (answer.size() != 1) return 0;
    const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(answer[0])));
    for (const ConsoleButton& button : buttons)
        if (button.key == key) return key;
    return 0;
}

std::optional<FieldEdit> field_edit(const std::string& answer) {
    const size_t equals = answer.find('=');
    if (equals == std::string::npos) return std::nullopt;
    std::string name = answer.substr(0, equals);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return FieldEdit{name, answer.substr(equals + 1)};
}

void print_unknown_answer(const std::string& answer) {
    std::cerr << format_resource(kStringUnknownAnswer, answer.c_str()) << '\n';
}
