#include "gui_prefix.h"

#include <stdexcept>

#include "harness.h"

void make_gui_prefix() {
    const char* wine = std::getenv("KADO_WINE");
    if (wine == nullptr) throw std::runtime_error("window tests need KADO_WINE");
    // The first program in a new prefix makes it; the key then lives in the prefix's user.reg.
    if (run_program({wine, "reg", "add", "HKCU\\Software\\Wine\\Drivers", "/v", "Graphics", "/d",
                     "null", "/f"},
                    {}, 300) != 0)
        throw std::runtime_error("cannot set the null graphics driver");
    restart_wine_server();
}
