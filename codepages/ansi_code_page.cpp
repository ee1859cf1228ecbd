// SPDX-License-Identifier: MIT
// CP_ACP on POSIX: the ANSI code page that Windows gives the locale's language and territory.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>

#include "codepages/codepages.h"

namespace codepages {

namespace {

struct LanguagePage {
    std::string_view language;
    unsigned int page;
};

// Windows' default ANSI code page by language. Chinese depends on the territory and Serbian,
// Uzbek and Azeri on the script; those are decided in AnsiCodePageForLocale.
constexpr std::array kLanguagePages = {
    LanguagePage{"ja", 932},  LanguagePage{"ko", 949},  LanguagePage{"th", 874},
    LanguagePage{"vi", 1258}, LanguagePage{"el", 1253}, LanguagePage{"tr", 1254},
    LanguagePage{"he", 1255}, LanguagePage{"iw", 1255}, LanguagePage{"ar", 1256},
    LanguagePage{"fa", 1256}, LanguagePage{"ur", 1256}, LanguagePage{"et", 1257},
    LanguagePage{"lv", 1257}, LanguagePage{"lt", 1257}, LanguagePage{"cs", 1250},
    LanguagePage{"pl", 1250}, LanguagePage{"sk", 1250}, LanguagePage{"hu", 1250},
    LanguagePage{"sl", 1250}, LanguagePage{"hr", 1250}, LanguagePage{"ro", 1250},
    LanguagePage{"sq", 1250}, LanguagePage{"bs", 1250}, LanguagePage{"ru", 1251},
    LanguagePage{"uk", 1251}, LanguagePage{"be", 1251}, LanguagePage{"bg", 1251},
    LanguagePage{"mk", 1251}, LanguagePage{"kk", 1251}, LanguagePage{"ky", 1251},
    LanguagePage{"tt", 1251}, LanguagePage{"mn", 1251},
};

constexpr unsigned int kWestern = 1252;

std::string Lower(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

// The first of LC_ALL, LC_CTYPE and LANG that is set and not empty, as POSIX resolves LC_CTYPE.
std::string_view LocaleFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return {};
}

}  // namespace

unsigned int AnsiCodePageForLocale(std::string_view name) {
    // language[_territory][.codeset][@modifier]
    const std::size_t at = name.find('@');
    const std::string modifier = at == std::string_view::npos ? "" : Lower(name.substr(at + 1));
    name = name.substr(0, std::min(name.find('.'), at));
    const std::size_t underscore = name.find('_');
    const std::string language = Lower(name.substr(0, underscore));
    const std::string territory =
        underscore == std::string_view::npos ? "" : Lower(name.substr(underscore + 1));

    if (language == "zh") {
        return territory == "tw" || territory == "hk" || territory == "mo" ? 950 : 936;
    }
    if (language == "sr") return modifier == "latin" ? 1250 : 1251;
    if (language == "uz" || language == "az") return modifier == "cyrillic" ? 1251 : 1254;
    const auto found =
        std::find_if(kLanguagePages.begin(), kLanguagePages.end(),
                     [&](const LanguagePage& entry) { return entry.language == language; });
    return found != kLanguagePages.end() ? found->page : kWestern;
}

unsigned int GetACP() {
    static const unsigned int page = AnsiCodePageForLocale(LocaleFromEnvironment());
    return page;
}

}  // namespace codepages
