// Program entry: creates the application object and hands over to the start-up sequence.
#include "app/Application.h"

int main(int argc, char* argv[]) { return ditlog::runApplication(argc, argv); }
