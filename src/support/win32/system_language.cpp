#include <windows.h>

#include "support/language_choice.h"

LanguageId system_language() {
    return GetUserDefaultUILanguage();
}
