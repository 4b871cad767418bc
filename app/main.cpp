#include "app/startup.h"

#include <QApplication>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // Picture and window buffers (a 1920 x 1080 window is 8 MiB, a 4K one 32 MiB) are mapped
    // and unmapped on their own from 256 KiB up, so a freed one goes back to the system at
    // once; a fixed threshold also stops glibc raising it to 32 MiB after the first such free,
    // which would keep every later buffer in the heap. Free heap above 1 MiB at its top is
    // returned as well.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024);
#endif
    const auto app = mv::CreateApplication(argc, argv);
    if (!mv::Main()) return 1;
    return QApplication::exec();
}
