#include "decoder/cli.h"

int main(int argc, char** argv) { return decoder::RunBrovik(argc, argv); }
