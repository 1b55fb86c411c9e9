#include "support/TestEnvironment.h"

#include <QApplication>

int main(int argc, char** argv) { return RunAllTestsWith<QApplication>(argc, argv); }
