// The `brovik` command line: brovik [INPUT [OUTPUT]], --help, --version.
//
// Without arguments it reads "rds-in.txt" and writes "rds-out.txt" in the current directory and
// says nothing: the exit code alone tells the outcome. Given any argument, it also explains
// failures on standard error.
#ifndef RDS_DECODER_CLI_H_
#define RDS_DECODER_CLI_H_

namespace decoder {

[[nodiscard]] int RunBrovik(int argc, char** argv);

}  // namespace decoder

#endif  // RDS_DECODER_CLI_H_
