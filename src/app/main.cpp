#include "app/kado_app.h"
#include "support/process_args.h"

int main(int argc, char** argv) {
    CKadoApp app(command_line_text(argc, argv));
    app.start_instance();
    return app.end_instance();
}
