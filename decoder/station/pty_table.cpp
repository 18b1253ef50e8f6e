#include "decoder/station/pty_table.h"

namespace decoder {
namespace {

// EN 50067 / IEC 62106 Annex F, the long (16-character display) names in plain words.
constexpr const char* kRdsNames[32] = {"None",
                                       "News",
                                       "Current affairs",
                                       "Information",
                                       "Sport",
                                       "Education",
                                       "Drama",
                                       "Culture",
                                       "Science",
                                       "Varied",
                                       "Pop music",
                                       "Rock music",
                                       "Easy listening",
                                       "Light classical",
                                       "Serious classical",
                                       "Other music",
                                       "Weather",
                                       "Finance",
                                       "Children's programmes",
                                       "Social affairs",
                                       "Religion",
                                       "Phone-in",
                                       "Travel",
                                       "Leisure",
                                       "Jazz music",
                                       "Country music",
                                       "National music",
                                       "Oldies music",
                                       "Folk music",
                                       "Documentary",
                                       "Alarm test",
                                       "Alarm"};

// The RBDS standard (NRSC-4-B), with the later assignments of 24 to 26.
constexpr const char* kRbdsNames[32] = {"None",
                                        "News",
                                        "Information",
                                        "Sports",
                                        "Talk",
                                        "Rock",
                                        "Classic rock",
                                        "Adult hits",
                                        "Soft rock",
                                        "Top 40",
                                        "Country",
                                        "Oldies",
                                        "Soft",
                                        "Nostalgia",
                                        "Jazz",
                                        "Classical",
                                        "Rhythm and blues",
                                        "Soft rhythm and blues",
                                        "Language",
                                        "Religious music",
                                        "Religious talk",
                                        "Personality",
                                        "Public",
                                        "College",
                                        "Spanish talk",
                                        "Spanish music",
                                        "Hip hop",
                                        "Unassigned",
                                        "Unassigned",
                                        "Weather",
                                        "Emergency test",
                                        "Emergency"};

}  // namespace

const char* RdsPtyName(int pty) { return pty >= 0 && pty < 32 ? kRdsNames[pty] : ""; }

const char* RbdsPtyName(int pty) { return pty >= 0 && pty < 32 ? kRbdsNames[pty] : ""; }

}  // namespace decoder
