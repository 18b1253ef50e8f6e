// tamsel's exit codes; README's "tamsel" section lists them for users and scripts.
#ifndef RDS_SENDER_EXIT_CODES_H_
#define RDS_SENDER_EXIT_CODES_H_

namespace sender {

inline constexpr int kExitDone = 0;          // all eleven exchanges made (also --help, --version)
inline constexpr int kExitUsage = 64;        // the command line is wrong
inline constexpr int kExitPortFailed = 3;    // the serial port cannot be opened or set up
inline constexpr int kExitNoReply = 4;       // the encoder did not answer within the time limit
inline constexpr int kExitLineFailed = 5;    // writing a frame or reading a reply failed
inline constexpr int kExitOutputFailed = 6;  // the reply lines cannot be written out
inline constexpr int kExitRefused = 7;       // the encoder refused a frame (NACK)
inline constexpr int kExitBadInput = 65;     // a script or feed cannot be read or has a bad line

}  // namespace sender

#endif  // RDS_SENDER_EXIT_CODES_H_
