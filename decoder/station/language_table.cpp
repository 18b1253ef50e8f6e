#include "decoder/station/language_table.h"

namespace decoder {
namespace {

// The language codes of the RDS standard (EN 50067 Annex J, as in ETSI TS 101 756): European
// languages from 0x01 in alphabetical order of their own names, 0x2C..0x3F reserved, 0x40 the
// background-sound code, 0x45..0x7F other languages in reverse alphabetical order.
constexpr const char* kLanguages[128] = {"Unknown",
                                         "Albanian",
                                         "Breton",
                                         "Catalan",
                                         "Croatian",
                                         "Welsh",
                                         "Czech",
                                         "Danish",  // 0x00
                                         "German",
                                         "English",
                                         "Spanish",
                                         "Esperanto",
                                         "Estonian",
                                         "Basque",
                                         "Faroese",
                                         "French",  // 0x08
                                         "Frisian",
                                         "Irish",
                                         "Gaelic",
                                         "Galician",
                                         "Icelandic",
                                         "Italian",
                                         "Lappish",
                                         "Latin",  // 0x10
                                         "Latvian",
                                         "Luxembourgian",
                                         "Lithuanian",
                                         "Hungarian",
                                         "Maltese",
                                         "Dutch",
                                         "Norwegian",
                                         "Occitan",  // 0x18
                                         "Polish",
                                         "Portuguese",
                                         "Romanian",
                                         "Romansh",
                                         "Serbian",
                                         "Slovak",
                                         "Slovene",
                                         "Finnish",  // 0x20
                                         "Swedish",
                                         "Turkish",
                                         "Flemish",
                                         "Walloon",
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,  // 0x28
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,  // 0x30
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,  // 0x38
                                         "Background sound / clean feed",
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         "Zulu",
                                         "Vietnamese",
                                         "Uzbek",  // 0x40
                                         "Urdu",
                                         "Ukrainian",
                                         "Thai",
                                         "Telugu",
                                         "Tatar",
                                         "Tamil",
                                         "Tadzhik",
                                         "Swahili",  // 0x48
                                         "Sranan Tongo",
                                         "Somali",
                                         "Sinhalese",
                                         "Shona",
                                         "Serbo-Croat",
                                         "Ruthenian",
                                         "Russian",
                                         "Quechua",  // 0x50
                                         "Pushtu",
                                         "Punjabi",
                                         "Persian",
                                         "Papamiento",
                                         "Oriya",
                                         "Nepali",
                                         "Ndebele",
                                         "Marathi",  // 0x58
                                         "Moldavian",
                                         "Malaysian",
                                         "Malagasay",
                                         "Macedonian",
                                         "Laotian",
                                         "Korean",
                                         "Khmer",
                                         "Kazakh",  // 0x60
                                         "Kannada",
                                         "Japanese",
                                         "Indonesian",
                                         "Hindi",
                                         "Hebrew",
                                         "Hausa",
                                         "Gurani",
                                         "Gujurati",  // 0x68
                                         "Greek",
                                         "Georgian",
                                         "Fulani",
                                         "Dari",
                                         "Chuvash",
                                         "Chinese",
                                         "Burmese",
                                         "Bulgarian",  // 0x70
                                         "Bengali",
                                         "Belorussian",
                                         "Bambora",
                                         "Azerbaijani",
                                         "Assamese",
                                         "Armenian",
                                         "Arabic",
                                         "Amharic"};  // 0x78

}  // namespace

const char* LanguageName(int code) { return code >= 0 && code < 128 ? kLanguages[code] : nullptr; }

}  // namespace decoder
