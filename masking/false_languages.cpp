#include "masking/false_languages.h"

namespace quorvel {

namespace {

const char* const kLanguages[] = {
    "Afar (aa)",           "Abkhazian (ab)",    "Afrikaans (af)",  "Albanian (sq)",       "Amharic (am)",
    "Arabic (ar)",         "Armenian (hy)",     "Assamese (as)",   "Aymara (ay)",         "Azerbaijani (az)",
    "Bashkir (ba)",        "Basque (eu)",       "Bangla (bn)",     "Bhutani (dz)",        "Bihari (bh)",
    "Bislama (bi)",        "Breton (br)",       "Bulgarian (bg)",  "Burmese (my)",        "Byelorussian (be)",
    "Cambodian (km)",      "Catalan (ca)",      "Chinese (zh)",    "Corsican (co)",       "Croatian (hr)",
    "Czech (cs)",          "Danish (da)",       "Dutch (nl)",      "English (en)",        "Esperanto (eo)",
    "Estonian (et)",       "Faroese (fo)",      "Fiji (fj)",       "Finnish (fi)",        "French (fr)",
    "Frisian (fy)",        "Galician (gl)",     "Georgian (ka)",   "German (de)",         "Greek (el)",
    "Greenlandic (kl)",    "Guarani (gn)",      "Gujarati (gu)",   "Hausa (ha)",          "Hebrew (he)",
    "Hindi (hi)",          "Hungarian (hu)",    "Icelandic (is)",  "Indonesian (id)",     "Interlingua (ia)",
    "Interlingue (ie)",    "Inuktitut (iu)",    "Inupiak (ik)",    "Irish (ga)",          "Italian (it)",
    "Japanese (ja)",       "Javanese (jw)",     "Kannada (kn)",    "Kashmiri (ks)",       "Kazakh (kk)",
    "Kinyarwanda (rw)",    "Kirghiz (ky)",      "Kirundi (rn)",    "Korean (ko)",         "Kurdish (ku)",
    "Laothian (lo)",       "Latin (la)",        "Lettish (lv)",    "Lingala (ln)",        "Lithuanian (lt)",
    "Macedonian (mk)",     "Malagasy (mg)",     "Malay (ms)",      "Malayalam (ml)",      "Maltese (mt)",
    "Maori (mi)",          "Marathi (mr)",      "Moldavian (mo)",  "Mongolian (mn)",      "Nauru (na)",
    "Nepali (ne)",         "Norwegian (no)",    "Occitan (oc)",    "Oriya (or)",          "Pushto (ps)",
    "Persian (fa)",        "Polish (pl)",       "Portuguese (pt)", "Punjabi (pa)",        "Quechua (qu)",
    "Rhaeto-Romance (rm)", "Romanian (ro)",     "Russian (ru)",    "Samoan (sm)",         "Sangho (sg)",
    "Sanskrit (sa)",       "Scots Gaelic (gd)", "Serbian (sr)",    "Serbo-Croatian (sh)", "Sesotho (st)",
    "Setswana (tn)",       "Shona (sn)",        "Sindhi (sd)",     "Sinhalese (si)",      "Siswati (ss)",
    "Slovak (sk)",         "Slovenian (sl)",    "Somali (so)",     "Spanish (es)",        "Sundanese (su)",
    "Swahili (sw)",        "Swedish (sv)",      "Tagalog (tl)",    "Tajik (tg)",          "Tamil (ta)",
    "Tatar (tt)",          "Telugu (te)",       "Thai (th)",       "Tibetan (bo)",        "Tigrinya (ti)",
    "Tonga (to)",          "Tsonga (ts)",       "Turkish (tr)",    "Turkmen (tk)",        "Twi (tw)",
    "Uighur (ug)",         "Ukrainian (uk)",    "Urdu (ur)",       "Uzbek (uz)",          "Vietnamese (vi)",
    "Volapuk (vo)",        "Welsh (cy)",        "Wolof (wo)",      "Xhosa (xh)",          "Yiddish (yi)",
    "Yoruba (yo)",         "Zhuang (za)",       "Zulu (zu)",
};

} // namespace

std::span<const char* const> FalseLanguages() {
    return kLanguages;
}

} // namespace quorvel
