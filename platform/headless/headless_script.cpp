// SPDX-License-Identifier: MIT
// The headless script language, for programs run with WIN32_DISPLAY=headless: items separated by
// blanks, each "text:<characters>" (or text:"with blanks"), "key:[shift+][ctrl+][alt+]<KEY>"
// "click:<x>,<y>" (the left button) or "rclick:<x>,<y>" (the right one).
#include <cctype>
#include <charconv>
#include <stdexcept>
#include <string>

#include "headless/headless_display.h"
#include "src/utf.h"

namespace win32::headless {

namespace {

struct NamedKey {
    std::string_view name;
    UINT virtualKey;
};

constexpr NamedKey kKeys[] = {
    {"RETURN", VK_RETURN}, {"ENTER", VK_RETURN},    {"TAB", VK_TAB},   {"ESCAPE", VK_ESCAPE},
    {"ESC", VK_ESCAPE},    {"SPACE", VK_SPACE},     {"BACK", VK_BACK}, {"BACKSPACE", VK_BACK},
    {"DELETE", VK_DELETE}, {"INSERT", VK_INSERT},   {"HOME", VK_HOME}, {"END", VK_END},
    {"LEFT", VK_LEFT},     {"RIGHT", VK_RIGHT},     {"UP", VK_UP},     {"DOWN", VK_DOWN},
    {"PRIOR", VK_PRIOR},   {"PAGEUP", VK_PRIOR},    {"NEXT", VK_NEXT}, {"PAGEDOWN", VK_NEXT},
    {"SHIFT", VK_SHIFT},   {"CONTROL", VK_CONTROL}, {"MENU", VK_MENU}, {"APPS", VK_APPS},
};

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

UINT KeyByName(std::string_view name) {
    std::string key = Upper(name);
    if (key.size() == 1 && (std::isalnum(static_cast<unsigned char>(key[0])) != 0)) {
        return static_cast<UINT>(key[0]);
    }
    if (key.size() >= 2 && key[0] == 'F') {
        int number = 0;
        auto [end, error] = std::from_chars(key.data() + 1, key.data() + key.size(), number);
        if (error == std::errc() && end == key.data() + key.size() && number >= 1 && number <= 12) {
            return static_cast<UINT>(VK_F1 + number - 1);
        }
    }
    for (const NamedKey& named : kKeys) {
        if (named.name == key) return named.virtualKey;
    }
    throw std::invalid_argument("headless script: unknown key '" + std::string(name) + "'");
}

ScriptItem ParseKey(std::string_view value) {
    ScriptItem item{ScriptItem::Kind::kKey};
    for (;;) {
        std::size_t plus = value.find('+');
        if (plus == std::string_view::npos || plus + 1 == value.size()) break;
        std::string modifier = Upper(value.substr(0, plus));
        if (modifier == "SHIFT") {
            item.modifiers |= kShift;
        } else if (modifier == "CTRL" || modifier == "CONTROL") {
            item.modifiers |= kControl;
        } else if (modifier == "ALT") {
            item.modifiers |= kAlt;
        } else {
            throw std::invalid_argument("headless script: unknown modifier '" + modifier + "'");
        }
        value.remove_prefix(plus + 1);
    }
    item.virtualKey = KeyByName(value);
    return item;
}

int ParseNumber(std::string_view text) {
    int number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        throw std::invalid_argument("headless script: not a number '" + std::string(text) + "'");
    }
    return number;
}

ScriptItem ParseClick(std::string_view value, UINT button) {
    std::size_t comma = value.find(',');
    if (comma == std::string_view::npos) {
        throw std::invalid_argument("headless script: a click needs x,y");
    }
    ScriptItem item{ScriptItem::Kind::kClick};
    item.virtualKey = button;
    item.point = POINT{ParseNumber(value.substr(0, comma)), ParseNumber(value.substr(comma + 1))};
    return item;
}

}  // namespace

std::vector<ScriptItem> ParseScript(std::string_view script) {
    std::vector<ScriptItem> items;
    std::size_t i = 0;
    while (i < script.size()) {
        if (std::isspace(static_cast<unsigned char>(script[i])) != 0) {
            ++i;
            continue;
        }
        std::size_t colon = script.find(':', i);
        if (colon == std::string_view::npos) {
            throw std::invalid_argument("headless script: expected kind:value at '" +
                                        std::string(script.substr(i)) + "'");
        }
        std::string_view kind = script.substr(i, colon - i);
        std::size_t start = colon + 1;
        std::size_t end;
        std::string_view value;
        if (start < script.size() && script[start] == '"') {
            end = script.find('"', start + 1);
            if (end == std::string_view::npos) {
                throw std::invalid_argument("headless script: unterminated quote");
            }
            value = script.substr(start + 1, end - start - 1);
            ++end;
        } else {
            end = start;
            while (end < script.size() &&
                   std::isspace(static_cast<unsigned char>(script[end])) == 0) {
                ++end;
            }
            value = script.substr(start, end - start);
        }
        if (kind == "text") {
            ScriptItem item{ScriptItem::Kind::kText};
            item.text = Utf8ToUtf16(value);
            items.push_back(std::move(item));
        } else if (kind == "key") {
            items.push_back(ParseKey(value));
        } else if (kind == "click" || kind == "rclick") {
            items.push_back(ParseClick(value, kind == "click" ? VK_LBUTTON : VK_RBUTTON));
        } else {
            throw std::invalid_argument("headless script: unknown item '" + std::string(kind) +
                                        "'");
        }
        i = end;
    }
    return items;
}

}  // namespace win32::headless
