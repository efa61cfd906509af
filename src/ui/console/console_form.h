// What the two console dialogs share: the caption, control texts as labels, the buttons with their
// keys and the prompt, and the answer lines. Answers come from standard input through the same
// stream the message boxes read, so the lines of a script reach each reader in order.
#pragma once

#include <optional>
#include <string>
#include <vector>

// A button: the key the user types and the id of its control text.
struct ConsoleButton {
    char key;
    int text_id;
};

// A field edit "name=value": what precedes the first '=' and what follows it.
struct FieldEdit {
    std::string name;
    std::string value;
};

// The caption: the application title with the product version, in the chosen language.
void print_caption();
// A field line: its label, the edit form that changes it (none for a read-only field) and its
// value.
void print_field(int label_id, const char* edit_form, const std::string& value);
// The buttons, one "key) text" each, then the prompt listing their keys ("[p/e/x] ").
void print_buttons_and_prompt(const std::vector<ConsoleButton>& buttons);
// The control text without its menu mnemonic and on one line.
std::string control_label(int text_id);

// The next answer line without its line end; nothing at the end of input.
std::optional<std::string> read_answer();
// The key of the button the answer names, or 0.
char button_key(const std::string& answer, const std::vector<ConsoleButton>& buttons);
// The answer as a field edit, when it has the form "name=value".
std::optional<FieldEdit> field_edit(const std::string& answer);
// The one-line hint for an answer the dialog does not take.
void print_unknown_answer(const std::string& answer);
