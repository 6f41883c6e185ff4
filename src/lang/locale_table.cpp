// Windows locale facts that ICU lacks, one row per language identifier:
// the language group that enumerates the locale, its default ANSI and OEM
// code pages and its three-letter abbreviation.
//
// Rules the rows follow, because the language map depends on them:
// - Only identifiers with a sublanguage carry a group. Neutral identifiers
//   (0x0009, 0x0004, ...) are answered but never enumerated, as on Windows;
//   the language map completes them itself. Their abbreviation is that of
//   the locale Windows resolves them to (0x0009 answers ENU).
// - Every enumerated identifier maps to an ICU locale and back unchanged.
//   ICU mistakes some identifiers for others (0x048C, Dari, comes back as
//   Persian of Afghanistan, so both languages would share one display name),
//   and knows nothing of the script neutrals 0x64xx-0x7Cxx or 0x043C; those
//   are left out.
// - Unicode-only locales hold ANSI 0 and OEM 1, as Windows reports them.
//   Kazakh is one of them here; the language map overrides it with 1251.
// - The rows of one primary language are kept together; the order between
//   rows carries no meaning (lookups sort them once).
#include "lang/locale_table.h"

namespace locmodel::locale_table {

using enum Group;

const Row kRows[] = {
    // Arabic
    {0x0001, kNeutral, 1256, 720, "ARA"},
    {0x0401, kArabic, 1256, 720, "ARA"},  // Saudi Arabia
    {0x0801, kArabic, 1256, 720, "ARI"},  // Iraq
    {0x0C01, kArabic, 1256, 720, "ARE"},  // Egypt
    {0x1001, kArabic, 1256, 720, "ARL"},  // Libya
    {0x1401, kArabic, 1256, 720, "ARG"},  // Algeria
    {0x1801, kArabic, 1256, 720, "ARM"},  // Morocco
    {0x1C01, kArabic, 1256, 720, "ART"},  // Tunisia
    {0x2001, kArabic, 1256, 720, "ARO"},  // Oman
    {0x2401, kArabic, 1256, 720, "ARY"},  // Yemen
    {0x2801, kArabic, 1256, 720, "ARS"},  // Syria
    {0x2C01, kArabic, 1256, 720, "ARJ"},  // Jordan
    {0x3001, kArabic, 1256, 720, "ARB"},  // Lebanon
    {0x3401, kArabic, 1256, 720, "ARK"},  // Kuwait
    {0x3801, kArabic, 1256, 720, "ARU"},  // U.A.E.
    {0x3C01, kArabic, 1256, 720, "ARH"},  // Bahrain
    {0x4001, kArabic, 1256, 720, "ARQ"},  // Qatar
    // Bulgarian
    {0x0002, kNeutral, 1251, 866, "BGR"},
    {0x0402, kCyrillic, 1251, 866, "BGR"},
    // Catalan
    {0x0003, kNeutral, 1252, 850, "CAT"},
    {0x0403, kWesternEurope, 1252, 850, "CAT"},
    {0x0803, kWesternEurope, 1252, 850, "VAL"},  // Valencian
    // Chinese: Windows resolves the neutral to Simplified Chinese
    {0x0004, kNeutral, 936, 936, "CHS"},
    {0x0404, kTraditionalChinese, 950, 950, "CHT"},  // Taiwan
    {0x0804, kSimplifiedChinese, 936, 936, "CHS"},   // PRC
    {0x0C04, kTraditionalChinese, 950, 950, "ZHH"},  // Hong Kong
    {0x1004, kSimplifiedChinese, 936, 936, "ZHI"},   // Singapore
    {0x1404, kTraditionalChinese, 950, 950, "ZHM"},  // Macao
    // Czech
    {0x0005, kNeutral, 1250, 852, "CSY"},
    {0x0405, kCentralEurope, 1250, 852, "CSY"},
    // Danish
    {0x0006, kNeutral, 1252, 850, "DAN"},
    {0x0406, kWesternEurope, 1252, 850, "DAN"},
    // German
    {0x0007, kNeutral, 1252, 850, "DEU"},
    {0x0407, kWesternEurope, 1252, 850, "DEU"},  // Germany
    {0x0807, kWesternEurope, 1252, 850, "DES"},  // Switzerland
    {0x0C07, kWesternEurope, 1252, 850, "DEA"},  // Austria
    {0x1007, kWesternEurope, 1252, 850, "DEL"},  // Luxembourg
    {0x1407, kWesternEurope, 1252, 850, "DEC"},  // Liechtenstein
    // Greek
    {0x0008, kNeutral, 1253, 737, "ELL"},
    {0x0408, kGreek, 1253, 737, "ELL"},
    // English
    {0x0009, kNeutral, 1252, 437, "ENU"},
    {0x0409, kWesternEurope, 1252, 437, "ENU"},  // United States
    {0x0809, kWesternEurope, 1252, 850, "ENG"},  // United Kingdom
    {0x0C09, kWesternEurope, 1252, 850, "ENA"},  // Australia
    {0x1009, kWesternEurope, 1252, 850, "ENC"},  // Canada
    {0x1409, kWesternEurope, 1252, 850, "ENZ"},  // New Zealand
    {0x1809, kWesternEurope, 1252, 850, "ENI"},  // Ireland
    {0x1C09, kWesternEurope, 1252, 437, "ENS"},  // South Africa
    {0x2009, kWesternEurope, 1252, 850, "ENJ"},  // Jamaica
    {0x2409, kWesternEurope, 1252, 850, "ENB"},  // Caribbean
    {0x2809, kWesternEurope, 1252, 850, "ENL"},  // Belize
    {0x2C09, kWesternEurope, 1252, 850, "ENT"},  // Trinidad and Tobago
    {0x3009, kWesternEurope, 1252, 437, "ENW"},  // Zimbabwe
    {0x3409, kWesternEurope, 1252, 437, "ENP"},  // Philippines
    {0x3809, kWesternEurope, 1252, 850, "ENO"},  // Indonesia
    {0x3C09, kWesternEurope, 1252, 850, "ENH"},  // Hong Kong
    {0x4009, kWesternEurope, 1252, 437, "ENN"},  // India
    {0x4409, kWesternEurope, 1252, 437, "ENM"},  // Malaysia
    {0x4809, kWesternEurope, 1252, 437, "ENE"},  // Singapore
    // Spanish
    {0x000A, kNeutral, 1252, 850, "ESN"},
    {0x040A, kWesternEurope, 1252, 850, "ESP"},  // Spain, traditional sort
    {0x080A, kWesternEurope, 1252, 850, "ESM"},  // Mexico
    {0x0C0A, kWesternEurope, 1252, 850, "ESN"},  // Spain, international sort
    {0x100A, kWesternEurope, 1252, 850, "ESG"},  // Guatemala
    {0x140A, kWesternEurope, 1252, 850, "ESC"},  // Costa Rica
    {0x180A, kWesternEurope, 1252, 850, "ESA"},  // Panama
    {0x1C0A, kWesternEurope, 1252, 850, "ESD"},  // Dominican Republic
    {0x200A, kWesternEurope, 1252, 850, "ESV"},  // Venezuela
    {0x240A, kWesternEurope, 1252, 850, "ESO"},  // Colombia
    {0x280A, kWesternEurope, 1252, 850, "ESR"},  // Peru
    {0x2C0A, kWesternEurope, 1252, 850, "ESS"},  // Argentina
    {0x300A, kWesternEurope, 1252, 850, "ESF"},  // Ecuador
    {0x340A, kWesternEurope, 1252, 850, "ESL"},  // Chile
    {0x380A, kWesternEurope, 1252, 850, "ESY"},  // Uruguay
    {0x3C0A, kWesternEurope, 1252, 850, "ESZ"},  // Paraguay
    {0x400A, kWesternEurope, 1252, 850, "ESB"},  // Bolivia
    {0x440A, kWesternEurope, 1252, 850, "ESE"},  // El Salvador
    {0x480A, kWesternEurope, 1252, 850, "ESH"},  // Honduras
    {0x4C0A, kWesternEurope, 1252, 850, "ESI"},  // Nicaragua
    {0x500A, kWesternEurope, 1252, 850, "ESU"},  // Puerto Rico
    {0x540A, kWesternEurope, 1252, 850, "EST"},  // United States
    // Finnish
    {0x000B, kNeutral, 1252, 850, "FIN"},
    {0x040B, kWesternEurope, 1252, 850, "FIN"},
    // French
    {0x000C, kNeutral, 1252, 850, "FRA"},
    {0x040C, kWesternEurope, 1252, 850, "FRA"},  // France
    {0x080C, kWesternEurope, 1252, 850, "FRB"},  // Belgium
    {0x0C0C, kWesternEurope, 1252, 850, "FRC"},  // Canada
    {0x100C, kWesternEurope, 1252, 850, "FRS"},  // Switzerland
    {0x140C, kWesternEurope, 1252, 850, "FRL"},  // Luxembourg
    {0x180C, kWesternEurope, 1252, 850, "FRM"},  // Monaco
    {0x1C0C, kWesternEurope, 1252, 850, "FRD"},  // Caribbean
    {0x200C, kWesternEurope, 1252, 850, "FRR"},  // Reunion
    {0x240C, kWesternEurope, 1252, 850, "FRE"},  // Congo (DRC)
    {0x280C, kWesternEurope, 1252, 850, "FRN"},  // Senegal
    {0x2C0C, kWesternEurope, 1252, 850, "FRK"},  // Cameroon
    {0x300C, kWesternEurope, 1252, 850, "FRI"},  // Cote d'Ivoire
    {0x340C, kWesternEurope, 1252, 850, "FRF"},  // Mali
    {0x380C, kWesternEurope, 1252, 850, "FRO"},  // Morocco
    {0x3C0C, kWesternEurope, 1252, 850, "FRH"},  // Haiti
    // Hebrew
    {0x000D, kNeutral, 1255, 862, "HEB"},
    {0x040D, kHebrew, 1255, 862, "HEB"},
    // Hungarian
    {0x000E, kNeutral, 1250, 852, "HUN"},
    {0x040E, kCentralEurope, 1250, 852, "HUN"},
    // Icelandic
    {0x000F, kNeutral, 1252, 850, "ISL"},
    {0x040F, kWesternEurope, 1252, 850, "ISL"},
    // Italian
    {0x0010, kNeutral, 1252, 850, "ITA"},
    {0x0410, kWesternEurope, 1252, 850, "ITA"},  // Italy
    {0x0810, kWesternEurope, 1252, 850, "ITS"},  // Switzerland
    // Japanese
    {0x0011, kNeutral, 932, 932, "JPN"},
    {0x0411, kJapanese, 932, 932, "JPN"},
    // Korean
    {0x0012, kNeutral, 949, 949, "KOR"},
    {0x0412, kKorean, 949, 949, "KOR"},
    // Dutch
    {0x0013, kNeutral, 1252, 850, "NLD"},
    {0x0413, kWesternEurope, 1252, 850, "NLD"},  // Netherlands
    {0x0813, kWesternEurope, 1252, 850, "NLB"},  // Belgium
    // Norwegian
    {0x0014, kNeutral, 1252, 850, "NOR"},
    {0x0414, kWesternEurope, 1252, 850, "NOR"},  // Bokmal
    {0x0814, kWesternEurope, 1252, 850, "NON"},  // Nynorsk
    // Polish
    {0x0015, kNeutral, 1250, 852, "PLK"},
    {0x0415, kCentralEurope, 1250, 852, "PLK"},
    // Portuguese
    {0x0016, kNeutral, 1252, 850, "PTB"},
    {0x0416, kWesternEurope, 1252, 850, "PTB"},  // Brazil
    {0x0816, kWesternEurope, 1252, 850, "PTG"},  // Portugal
    // Romansh
    {0x0017, kNeutral, 1252, 850, "RMC"},
    {0x0417, kWesternEurope, 1252, 850, "RMC"},
    // Romanian
    {0x0018, kNeutral, 1250, 852, "ROM"},
    {0x0418, kCentralEurope, 1250, 852, "ROM"},  // Romania
    {0x0818, kCentralEurope, 1250, 852, "ROD"},  // Moldova
    // Russian
    {0x0019, kNeutral, 1251, 866, "RUS"},
    {0x0419, kCyrillic, 1251, 866, "RUS"},  // Russia
    {0x0819, kCyrillic, 1251, 866, "RUM"},  // Moldova
    // Croatian, Serbian and Bosnian share one primary language
    {0x001A, kNeutral, 1250, 852, "HRV"},
    {0x041A, kCentralEurope, 1250, 852, "HRV"},  // Croatian, Croatia
    {0x081A, kCentralEurope, 1250, 852, "SRL"},  // Serbian Latin, Serbia and Montenegro
    {0x0C1A, kCyrillic, 1251, 855, "SRB"},       // Serbian Cyrillic, Serbia and Montenegro
    {0x101A, kCentralEurope, 1250, 852, "HRB"},  // Croatian, Bosnia and Herzegovina
    {0x141A, kCentralEurope, 1250, 852, "BSB"},  // Bosnian Latin
    {0x181A, kCentralEurope, 1250, 852, "SRS"},  // Serbian Latin, Bosnia and Herzegovina
    {0x1C1A, kCyrillic, 1251, 855, "SRN"},       // Serbian Cyrillic, Bosnia and Herzegovina
    {0x201A, kCyrillic, 1251, 855, "BSC"},       // Bosnian Cyrillic
    {0x241A, kCentralEurope, 1250, 852, "SRM"},  // Serbian Latin, Serbia
    {0x281A, kCyrillic, 1251, 855, "SRO"},       // Serbian Cyrillic, Serbia
    {0x2C1A, kCentralEurope, 1250, 852, "SRP"},  // Serbian Latin, Montenegro
    {0x301A, kCyrillic, 1251, 855, "SRQ"},       // Serbian Cyrillic, Montenegro
    // Slovak
    {0x001B, kNeutral, 1250, 852, "SKY"},
    {0x041B, kCentralEurope, 1250, 852, "SKY"},
    // Albanian
    {0x001C, kNeutral, 1250, 852, "SQI"},
    {0x041C, kCentralEurope, 1250, 852, "SQI"},
    // Swedish
    {0x001D, kNeutral, 1252, 850, "SVE"},
    {0x041D, kWesternEurope, 1252, 850, "SVE"},  // Sweden
    {0x081D, kWesternEurope, 1252, 850, "SVF"},  // Finland
    // Thai
    {0x001E, kNeutral, 874, 874, "THA"},
    {0x041E, kThai, 874, 874, "THA"},
    // Turkish
    {0x001F, kNeutral, 1254, 857, "TRK"},
    {0x041F, kTurkic, 1254, 857, "TRK"},
    // Urdu
    {0x0020, kNeutral, 1256, 720, "URD"},
    {0x0420, kArabic, 1256, 720, "URD"},  // Pakistan
    {0x0820, kArabic, 1256, 720, "URI"},  // India
    // Indonesian
    {0x0021, kNeutral, 1252, 850, "IND"},
    {0x0421, kWesternEurope, 1252, 850, "IND"},
    // Ukrainian
    {0x0022, kNeutral, 1251, 866, "UKR"},
    {0x0422, kCyrillic, 1251, 866, "UKR"},
    // Belarusian
    {0x0023, kNeutral, 1251, 866, "BEL"},
    {0x0423, kCyrillic, 1251, 866, "BEL"},
    // Slovenian
    {0x0024, kNeutral, 1250, 852, "SLV"},
    {0x0424, kCentralEurope, 1250, 852, "SLV"},
    // Estonian, Latvian, Lithuanian
    {0x0025, kNeutral, 1257, 775, "ETI"},
    {0x0425, kBaltic, 1257, 775, "ETI"},
    {0x0026, kNeutral, 1257, 775, "LVI"},
    {0x0426, kBaltic, 1257, 775, "LVI"},
    {0x0027, kNeutral, 1257, 775, "LTH"},
    {0x0427, kBaltic, 1257, 775, "LTH"},
    // Tajik
    {0x0028, kNeutral, 1251, 866, "TAJ"},
    {0x0428, kCyrillic, 1251, 866, "TAJ"},
    // Persian
    {0x0029, kNeutral, 1256, 720, "FAR"},
    {0x0429, kArabic, 1256, 720, "FAR"},
    // Vietnamese
    {0x002A, kNeutral, 1258, 1258, "VIT"},
    {0x042A, kVietnamese, 1258, 1258, "VIT"},
    // Armenian
    {0x002B, kNeutral, 0, 1, "HYE"},
    {0x042B, kArmenian, 0, 1, "HYE"},
    // Azerbaijani
    {0x002C, kNeutral, 1254, 857, "AZE"},
    {0x042C, kTurkic, 1254, 857, "AZE"},  // Latin
    {0x082C, kCyrillic, 1251, 866, "AZC"},  // Cyrillic
    // Basque
    {0x002D, kNeutral, 1252, 850, "EUQ"},
    {0x042D, kWesternEurope, 1252, 850, "EUQ"},
    // Upper and Lower Sorbian
    {0x002E, kNeutral, 1252, 850, "HSB"},
    {0x042E, kWesternEurope, 1252, 850, "HSB"},
    {0x082E, kWesternEurope, 1252, 850, "DSB"},
    // Macedonian
    {0x002F, kNeutral, 1251, 866, "MKI"},
    {0x042F, kCyrillic, 1251, 866, "MKI"},
    // Southern Sotho, Tsonga, Tswana, Venda, Xhosa, Zulu, Afrikaans
    {0x0030, kNeutral, 1252, 850, "SOT"},
    {0x0430, kWesternEurope, 1252, 850, "SOT"},
    {0x0031, kNeutral, 1252, 850, "TSO"},
    {0x0431, kWesternEurope, 1252, 850, "TSO"},
    {0x0032, kNeutral, 1252, 850, "TSN"},
    {0x0432, kWesternEurope, 1252, 850, "TSN"},  // South Africa
    {0x0832, kWesternEurope, 1252, 850, "TSB"},  // Botswana
    {0x0033, kNeutral, 1252, 850, "VEN"},
    {0x0433, kWesternEurope, 1252, 850, "VEN"},
    {0x0034, kNeutral, 1252, 850, "XHO"},
    {0x0434, kWesternEurope, 1252, 850, "XHO"},
    {0x0035, kNeutral, 1252, 850, "ZUL"},
    {0x0435, kWesternEurope, 1252, 850, "ZUL"},
    {0x0036, kNeutral, 1252, 850, "AFK"},
    {0x0436, kWesternEurope, 1252, 850, "AFK"},
    // Georgian
    {0x0037, kNeutral, 0, 1, "KAT"},
    {0x0437, kGeorgian, 0, 1, "KAT"},
    // Faroese
    {0x0038, kNeutral, 1252, 850, "FOS"},
    {0x0438, kWesternEurope, 1252, 850, "FOS"},
    // Hindi
    {0x0039, kNeutral, 0, 1, "HIN"},
    {0x0439, kIndic, 0, 1, "HIN"},
    // Maltese
    {0x003A, kNeutral, 0, 1, "MLT"},
    {0x043A, kWesternEurope, 0, 1, "MLT"},
    // Sami
    {0x003B, kNeutral, 1252, 850, "SME"},
    {0x043B, kWesternEurope, 1252, 850, "SME"},  // Northern, Norway
    {0x083B, kWesternEurope, 1252, 850, "SMF"},  // Northern, Sweden
    {0x0C3B, kWesternEurope, 1252, 850, "SMG"},  // Northern, Finland
    {0x103B, kWesternEurope, 1252, 850, "SMJ"},  // Lule, Norway
    {0x143B, kWesternEurope, 1252, 850, "SMK"},  // Lule, Sweden
    {0x183B, kWesternEurope, 1252, 850, "SMA"},  // Southern, Norway
    {0x1C3B, kWesternEurope, 1252, 850, "SMB"},  // Southern, Sweden
    {0x203B, kWesternEurope, 1252, 850, "SMS"},  // Skolt, Finland
    {0x243B, kWesternEurope, 1252, 850, "SMN"},  // Inari, Finland
    // Irish: Windows has no 0x043C locale, only Ireland's 0x083C
    {0x003C, kNeutral, 1252, 850, "IRE"},
    {0x083C, kWesternEurope, 1252, 850, "IRE"},
    // Yiddish
    {0x003D, kNeutral, 0, 1, "YID"},
    {0x043D, kHebrew, 0, 1, "YID"},
    // Malay
    {0x003E, kNeutral, 1252, 850, "MSL"},
    {0x043E, kWesternEurope, 1252, 850, "MSL"},  // Malaysia
    {0x083E, kWesternEurope, 1252, 850, "MSB"},  // Brunei
    // Kazakh
    {0x003F, kNeutral, 0, 1, "KKZ"},
    {0x043F, kCyrillic, 0, 1, "KKZ"},
    // Kyrgyz
    {0x0040, kNeutral, 1251, 866, "KYR"},
    {0x0440, kCyrillic, 1251, 866, "KYR"},
    // Swahili
    {0x0041, kNeutral, 1252, 437, "SWK"},
    {0x0441, kWesternEurope, 1252, 437, "SWK"},
    // Turkmen
    {0x0042, kNeutral, 1250, 852, "TUK"},
    {0x0442, kCentralEurope, 1250, 852, "TUK"},
    // Uzbek
    {0x0043, kNeutral, 1254, 857, "UZB"},
    {0x0443, kTurkic, 1254, 857, "UZB"},    // Latin
    {0x0843, kCyrillic, 1251, 866, "UZC"},  // Cyrillic
    // Tatar
    {0x0044, kNeutral, 1251, 866, "TTT"},
    {0x0444, kCyrillic, 1251, 866, "TTT"},
    // Bangla
    {0x0045, kNeutral, 0, 1, "BNG"},
    {0x0445, kIndic, 0, 1, "BNG"},  // India
    {0x0845, kIndic, 0, 1, "BNB"},  // Bangladesh
    // Punjabi
    {0x0046, kNeutral, 0, 1, "PAN"},
    {0x0446, kIndic, 0, 1, "PAN"},          // Gurmukhi, India
    {0x0846, kArabic, 1256, 720, "PAP"},    // Arabic script, Pakistan
    // Gujarati, Odia, Tamil, Telugu, Kannada, Malayalam, Assamese, Marathi, Sanskrit
    {0x0047, kNeutral, 0, 1, "GUJ"},
    {0x0447, kIndic, 0, 1, "GUJ"},
    {0x0048, kNeutral, 0, 1, "ORI"},
    {0x0448, kIndic, 0, 1, "ORI"},
    {0x0049, kNeutral, 0, 1, "TAI"},
    {0x0449, kIndic, 0, 1, "TAI"},  // India
    {0x0849, kIndic, 0, 1, "TAM"},  // Sri Lanka
    {0x004A, kNeutral, 0, 1, "TEL"},
    {0x044A, kIndic, 0, 1, "TEL"},
    {0x004B, kNeutral, 0, 1, "KDI"},
    {0x044B, kIndic, 0, 1, "KDI"},
    {0x004C, kNeutral, 0, 1, "MYM"},
    {0x044C, kIndic, 0, 1, "MYM"},
    {0x004D, kNeutral, 0, 1, "ASM"},
    {0x044D, kIndic, 0, 1, "ASM"},
    {0x004E, kNeutral, 0, 1, "MAR"},
    {0x044E, kIndic, 0, 1, "MAR"},
    {0x004F, kNeutral, 0, 1, "SAN"},
    {0x044F, kIndic, 0, 1, "SAN"},
    // Mongolian
    {0x0050, kNeutral, 1251, 866, "MNN"},
    {0x0450, kCyrillic, 1251, 866, "MNN"},  // Cyrillic, Mongolia
    {0x0850, kSimplifiedChinese, 0, 1, "MNG"},  // Traditional script, PRC
    {0x0C50, kSimplifiedChinese, 0, 1, "MNM"},  // Traditional script, Mongolia
    // Tibetan
    {0x0051, kNeutral, 0, 1, "BOB"},
    {0x0451, kSimplifiedChinese, 0, 1, "BOB"},
    // Welsh
    {0x0052, kNeutral, 1252, 850, "CYM"},
    {0x0452, kWesternEurope, 1252, 850, "CYM"},
    // Khmer, Lao, Burmese
    {0x0053, kNeutral, 0, 1, "KHM"},
    {0x0453, kIndic, 0, 1, "KHM"},
    {0x0054, kNeutral, 0, 1, "LAO"},
    {0x0454, kIndic, 0, 1, "LAO"},
    {0x0055, kNeutral, 0, 1, "MYA"},
    {0x0455, kIndic, 0, 1, "MYA"},
    // Galician
    {0x0056, kNeutral, 1252, 850, "GLC"},
    {0x0456, kWesternEurope, 1252, 850, "GLC"},
    // Konkani
    {0x0057, kNeutral, 0, 1, "KNK"},
    {0x0457, kIndic, 0, 1, "KNK"},
    // Sindhi
    {0x0059, kNeutral, 1256, 720, "SIP"},
    {0x0859, kArabic, 1256, 720, "SIP"},  // Arabic script, Pakistan
    // Syriac
    {0x005A, kNeutral, 0, 1, "SYR"},
    {0x045A, kArabic, 0, 1, "SYR"},
    // Sinhala
    {0x005B, kNeutral, 0, 1, "SIN"},
    {0x045B, kIndic, 0, 1, "SIN"},
    // Cherokee
    {0x005C, kNeutral, 0, 1, "CRE"},
    {0x045C, kWesternEurope, 0, 1, "CRE"},
    // Inuktitut
    {0x005D, kNeutral, 1252, 437, "IUK"},
    {0x045D, kWesternEurope, 0, 1, "IUS"},       // Syllabics
    {0x085D, kWesternEurope, 1252, 437, "IUK"},  // Latin
    // Amharic
    {0x005E, kNeutral, 0, 1, "AMH"},
    {0x045E, kWesternEurope, 0, 1, "AMH"},
    // Central Atlas Tamazight (0x045F, Arabic script, is reserved on Windows)
    {0x005F, kNeutral, 1252, 850, "TZM"},
    {0x085F, kWesternEurope, 1252, 850, "TZM"},  // Latin, Algeria
    {0x105F, kWesternEurope, 0, 1, "TZT"},       // Tifinagh, Morocco
    // Nepali
    {0x0061, kNeutral, 0, 1, "NEP"},
    {0x0461, kIndic, 0, 1, "NEP"},  // Nepal
    {0x0861, kIndic, 0, 1, "NEI"},  // India
    // Frisian
    {0x0062, kNeutral, 1252, 850, "FYN"},
    {0x0462, kWesternEurope, 1252, 850, "FYN"},
    // Pashto
    {0x0063, kNeutral, 0, 1, "PAS"},
    {0x0463, kArabic, 0, 1, "PAS"},
    // Filipino
    {0x0064, kNeutral, 1252, 437, "FPO"},
    {0x0464, kWesternEurope, 1252, 437, "FPO"},
    // Divehi
    {0x0065, kNeutral, 0, 1, "DIV"},
    {0x0465, kArabic, 0, 1, "DIV"},
    // Fulah
    {0x0067, kNeutral, 1252, 437, "FUL"},
    {0x0467, kWesternEurope, 1252, 437, "FUN"},  // Nigeria
    {0x0867, kWesternEurope, 1252, 437, "FUL"},  // Latin, Senegal
    // Hausa
    {0x0068, kNeutral, 1252, 437, "HAU"},
    {0x0468, kWesternEurope, 1252, 437, "HAU"},
    // Yoruba
    {0x006A, kNeutral, 1252, 437, "YOR"},
    {0x046A, kWesternEurope, 1252, 437, "YOR"},
    // Quechua
    {0x006B, kNeutral, 1252, 850, "QUB"},
    {0x046B, kWesternEurope, 1252, 850, "QUB"},  // Bolivia
    {0x086B, kWesternEurope, 1252, 850, "QUE"},  // Ecuador
    {0x0C6B, kWesternEurope, 1252, 850, "QUP"},  // Peru
    // Sesotho sa Leboa
    {0x006C, kNeutral, 1252, 850, "NSO"},
    {0x046C, kWesternEurope, 1252, 850, "NSO"},
    // Bashkir
    {0x006D, kNeutral, 1251, 866, "BAS"},
    {0x046D, kCyrillic, 1251, 866, "BAS"},
    // Luxembourgish
    {0x006E, kNeutral, 1252, 850, "LBX"},
    {0x046E, kWesternEurope, 1252, 850, "LBX"},
    // Greenlandic
    {0x006F, kNeutral, 1252, 850, "KAL"},
    {0x046F, kWesternEurope, 1252, 850, "KAL"},
    // Igbo
    {0x0070, kNeutral, 1252, 437, "IBO"},
    {0x0470, kWesternEurope, 1252, 437, "IBO"},
    // Oromo
    {0x0072, kNeutral, 0, 1, "ORM"},
    {0x0472, kWesternEurope, 0, 1, "ORM"},
    // Tigrinya
    {0x0073, kNeutral, 0, 1, "TIE"},
    {0x0473, kWesternEurope, 0, 1, "TIE"},  // Ethiopia
    {0x0873, kWesternEurope, 0, 1, "TIR"},  // Eritrea
    // Guarani
    {0x0074, kNeutral, 1252, 850, "GRN"},
    {0x0474, kWesternEurope, 1252, 850, "GRN"},
    // Hawaiian
    {0x0075, kNeutral, 1252, 437, "HAW"},
    {0x0475, kWesternEurope, 1252, 437, "HAW"},
    // Latin
    {0x0076, kNeutral, 1252, 850, "LAT"},
    {0x0476, kWesternEurope, 1252, 850, "LAT"},
    // Somali
    {0x0077, kNeutral, 0, 1, "SOM"},
    {0x0477, kWesternEurope, 0, 1, "SOM"},
    // Yi
    {0x0078, kNeutral, 0, 1, "III"},
    {0x0478, kSimplifiedChinese, 0, 1, "III"},
    // Mapudungun
    {0x007A, kNeutral, 1252, 850, "MPD"},
    {0x047A, kWesternEurope, 1252, 850, "MPD"},
    // Mohawk
    {0x007C, kNeutral, 1252, 850, "MWK"},
    {0x047C, kWesternEurope, 1252, 850, "MWK"},
    // Breton
    {0x007E, kNeutral, 1252, 850, "BRE"},
    {0x047E, kWesternEurope, 1252, 850, "BRE"},
    // Uyghur
    {0x0080, kNeutral, 1256, 720, "UIG"},
    {0x0480, kArabic, 1256, 720, "UIG"},
    // Maori
    {0x0081, kNeutral, 0, 1, "MRI"},
    {0x0481, kWesternEurope, 0, 1, "MRI"},
    // Occitan, Corsican, Alsatian
    {0x0082, kNeutral, 1252, 850, "OCI"},
    {0x0482, kWesternEurope, 1252, 850, "OCI"},
    {0x0083, kNeutral, 1252, 850, "COS"},
    {0x0483, kWesternEurope, 1252, 850, "COS"},
    {0x0084, kNeutral, 1252, 850, "GSW"},
    {0x0484, kWesternEurope, 1252, 850, "GSW"},
    // Sakha
    {0x0085, kNeutral, 1251, 866, "SAH"},
    {0x0485, kCyrillic, 1251, 866, "SAH"},
    // Kinyarwanda
    {0x0087, kNeutral, 1252, 437, "KIN"},
    {0x0487, kWesternEurope, 1252, 437, "KIN"},
    // Wolof
    {0x0088, kNeutral, 1252, 850, "WOL"},
    {0x0488, kWesternEurope, 1252, 850, "WOL"},
    // Scottish Gaelic
    {0x0091, kNeutral, 1252, 850, "GLA"},
    {0x0491, kWesternEurope, 1252, 850, "GLA"},
    // Central Kurdish
    {0x0092, kNeutral, 1256, 720, "KUR"},
    {0x0492, kArabic, 1256, 720, "KUR"},
};

const size_t kRowCount = sizeof(kRows) / sizeof(kRows[0]);

}  // namespace locmodel::locale_table
