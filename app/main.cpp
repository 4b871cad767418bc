#include "app/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    const auto app = mv::CreateApplication(argc, argv);
    if (!mv::Main()) return 1;
    return QApplication::exec();
}
