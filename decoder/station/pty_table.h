// Programme type (PTY) names: the European RDS list and the North American RBDS list give the
// same 5-bit codes different meanings (9 is "Varied" in Europe and "Top 40" in North America).
#ifndef RDS_DECODER_STATION_PTY_TABLE_H_
#define RDS_DECODER_STATION_PTY_TABLE_H_

namespace decoder {

// Names for codes 0..31; any other code gives an empty string.
const char* RdsPtyName(int pty);
const char* RbdsPtyName(int pty);

}  // namespace decoder

#endif  // RDS_DECODER_STATION_PTY_TABLE_H_
