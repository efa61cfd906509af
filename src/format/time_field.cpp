#include "format/time_field.h"

uint8_t two_digit_year(int calendar_year) {
    if (calendar_year == 1999) return 99;
    return static_cast<uint8_t>(calendar_year - 2000);
}

int calendar_year(uint8_t two_digit) {
    return two_digit == 99 ? 1999 : 2000 + two_digit;
}

TimeField time_field_of(const std::tm& local) {
    TimeField field{};
    field[kTimeFieldSecond] = static_cast<uint8_t>(local.tm_sec);
    field[kTimeFieldMinute] = static_cast<uint8_t>(local.tm_min);
    field[kTimeFieldHour] = static_cast<uint8_t>(local.tm_hour);
    field[kTimeFieldDay] = static_cast<uint8_t>(local.tm_mday);
    field[kTimeFieldMonth] = static_cast<uint8_t>(local.tm_mon + 1);
    field[kTimeFieldYear] = two_digit_year(local.tm_year + 1900);
    return field;
}

void stamp_time(TimeField& field) {
    const std::time_t now = std::time(nullptr);
    // The program runs on one thread, so the shared result of localtime is safe to copy here.
    if (const std::tm* local = std::localtime(&now)) field = time_field_of(*local);
}
