#include "decoder/station/rtplus_table.h"

namespace decoder {
namespace {

// The content types of the RDS Forum's RT+ standard (open data application 4BD7), in order.
// clang-format off
constexpr const char* kContentTypes[64] = {
    "dummy_class",
    "item.title", "item.album", "item.tracknumber", "item.artist", "item.composition",
    "item.movement", "item.conductor", "item.composer", "item.band", "item.comment",
    "item.genre",
    "info.news", "info.news.local", "info.stockmarket", "info.sport", "info.lottery",
    "info.horoscope", "info.daily_diversion", "info.health", "info.event", "info.scene",
    "info.cinema", "info.stupidity.machine", "info.date_time", "info.weather", "info.traffic",
    "info.alarm", "info.advertisement", "info.url", "info.other",
    "stationname.short", "stationname.long",
    "programme.now", "programme.next", "programme.part", "programme.host",
    "programme.editorial_staff", "programme.frequency", "programme.homepage",
    "programme.subchannel",
    "phone.hotline", "phone.studio", "phone.other",
    "sms.studio", "sms.other",
    "email.hotline", "email.studio", "email.other",
    "mms.other",
    "chat", "chat.centre",
    "vote.question", "vote.centre",
    "rfu.1", "rfu.2",
    "private.1", "private.2", "private.3",
    "place", "appointment", "identifier", "purchase", "get_data"};
// clang-format on

struct Application {
  std::uint16_t aid;
  const char* name;
};

// The applications most often announced on air; the full register is kept by the RDS Forum.
constexpr Application kApplications[] = {
    {0x0093, "DAB cross-referencing"}, {0x4BD7, "RadioText+ (RT+)"},
    {0x4BD8, "RadioText+ for eRT"},    {0x6552, "Enhanced RadioText (eRT)"},
    {0xCD46, "RDS-TMC: ALERT-C"},      {0xCD47, "RDS-TMC: ALERT-C"},
};

}  // namespace

const char* RtPlusContentTypeName(int type) {
  return type >= 0 && type < 64 ? kContentTypes[type] : "";
}

const char* OdaApplicationName(std::uint16_t aid) {
  for (const Application& app : kApplications) {
    if (app.aid == aid) return app.name;
  }
  return nullptr;
}

}  // namespace decoder
