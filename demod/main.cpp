// rds-demod: RDS bits from a recorded or live FM multiplex.
#include "demod/cli.h"

int main(int argc, char** argv) { return demod::RunDemod(argc, argv); }
