#include "hostapp/host_application.h"

int main(int argc, char** argv) {
    return hostapp::runCadhost(argc, argv);
}
