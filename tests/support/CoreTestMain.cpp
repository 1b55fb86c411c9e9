#include "support/TestEnvironment.h"

int main(int argc, char** argv) { return RunAllTestsWith<QCoreApplication>(argc, argv); }
