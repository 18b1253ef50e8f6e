// The decoder written the plain way: fgets-style line reading, strtol, the 77-bit window with
// every candidate and syndrome recomputed at each step, and snprintf for every field. Slow, but
// easy to check against the description of the format; the fast decoder must match it byte for
// byte.
#ifndef RDS_DECODER_REFERENCE_DECODER_H_
#define RDS_DECODER_REFERENCE_DECODER_H_

#include "decoder/byte_io.h"
#include "decoder/exit_code.h"

namespace decoder {

[[nodiscard]] ExitCode DecodeCaptureReference(ByteSource& input, ReportSink& report);

}  // namespace decoder

#endif  // RDS_DECODER_REFERENCE_DECODER_H_
