#include "shell/startup.h"

int main(int argc, char** argv) {
    return mv::RunMarovane(argc, argv);
}
