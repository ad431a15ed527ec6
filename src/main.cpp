#include "ui/application.h"

int main(int argc, char *argv[]) { return rekoda::RunApplication(argc, argv); }
