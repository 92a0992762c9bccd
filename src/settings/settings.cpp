#include "settings/settings.h"

#include <cctype>

#include "textures/texture_kind.h"

namespace {

// The kinds that put an image on the ball. Kinds 9, 12 and 13 have no
// pattern (their images are all zero bytes, a ball of nothing) and are left
// out; 5 and 8 register no name with the generator, so they are named here.
constexpr SettingChoice textureChoices[] = {
    {int(TextureKind::Sphere), "SPHERE", "Sphere"},
    {int(TextureKind::NotSphere), "NOTSPHERE", "Not sphere"},
    {int(TextureKind::Gradient), "GRADIENT", "Gradient"},
    {int(TextureKind::Smoke), "SMOKE", "Smoke"},
    {int(TextureKind::Fog), "FOG", "Fog"},
    {int(TextureKind::Ring), "RING", "Ring"},
    {int(TextureKind::Star), "STAR", "Star"},
    {int(TextureKind::Sand), "SAND", "Sand"},
    {int(TextureKind::Black), "BLACK", "Black"},
    {int(TextureKind::Check), "CHECK", "Check"},
    {int(TextureKind::Grille), "GRILLE", "Grille"},
    {int(TextureKind::Grain), "GRAIN", "Grain"},
};

// The labels are the Windows dialog's: there the designed 5 ms timer gives
// at most 100 frames a second, as Windows keeps no timer shorter than 10 ms.
constexpr SettingChoice frameRateChoices[] = {
    {std::int32_t(FrameRate::timer), "timer", "As designed (up to 100 a second)"},
    {std::int32_t(FrameRate::display), "display", "In step with the display"},
    {std::int32_t(FrameRate::low), "low", "At most 30 a second (saves power)"},
};

constexpr SettingChoice monitorsChoices[] = {
    {std::int32_t(Monitors::each), "each", "One view per monitor"},
    {std::int32_t(Monitors::span), "span", "One view across all monitors"},
};

template <std::size_t count>
constexpr int choiceCountOf(const SettingChoice (&)[count])
{
    return int(count);
}

}  // namespace

const SettingInfo settingTable[] = {
    {"Texture", "texture", nullptr, SettingKind::Texture, 4, 0, 14, false, &Settings::texture, textureChoices,
     choiceCountOf(textureChoices), "the pattern on the ball", "Texture"},
    {"Colour", "colour", nullptr, SettingKind::Colour, 0xFFCC00, 0, 0xFFFFFF, false, &Settings::colour, nullptr,
     0, "the ball's colour", "Colour"},
    {"Speed", "speed", nullptr, SettingKind::Number, 100, 25, 400, true, &Settings::speed, nullptr, 0,
     "motion speed in percent", "Speed"},
    {"Bars", "bars", "no-bars", SettingKind::Switch, 1, 0, 1, false, &Settings::bars, nullptr, 0,
     "the breathing letterbox bars", "Letterbox bars"},
    {"Detail", "detail", nullptr, SettingKind::Number, 32, 8, 100, true, &Settings::detail, nullptr, 0,
     "the ball's slices and stacks", "Detail"},
    {"Stars", "stars", "no-stars", SettingKind::Switch, 0, 0, 1, false, &Settings::stars, nullptr, 0,
     "the star field, seen through a translucent ball", "Stars"},
    {"Particles", "particles", "no-particles", SettingKind::Switch, 0, 0, 1, false, &Settings::particles,
     nullptr, 0, "the drifting particles", "Particles"},
    {"Fog", "fog", "no-fog", SettingKind::Switch, 0, 0, 1, false, &Settings::fog, nullptr, 0, "fog", "Fog"},
    {"Underlay", "underlay", "no-underlay", SettingKind::Switch, 0, 0, 1, false, &Settings::underlay, nullptr,
     0, "a full-window pass under a translucent ball", "Underlay"},
    {"Overlay", "overlay", "no-overlay", SettingKind::Switch, 0, 0, 1, false, &Settings::overlay, nullptr, 0,
     "the full-window pass over the finished frame", "Overlay"},
    {"FrameRate", "frame-rate", nullptr, SettingKind::Choice, 0, 0, 2, false, &Settings::frameRate,
     frameRateChoices, choiceCountOf(frameRateChoices), "how often a frame is drawn", "Frame rate"},
    {"Monitors", "monitors", nullptr, SettingKind::Choice, 0, 0, 1, false, &Settings::monitors, monitorsChoices,
     choiceCountOf(monitorsChoices), "how the views cover several monitors", "Several monitors"},
};

const int settingCount = int(sizeof settingTable / sizeof settingTable[0]);

bool sameSettingName(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

const SettingInfo* findSetting(const char* storedName)
{
    for (const SettingInfo& info : settingTable) {
        if (sameSettingName(info.storedName, storedName))
            return &info;
    }
    return nullptr;
}

const SettingInfo* settingFor(std::int32_t Settings::*field)
{
    for (const SettingInfo& info : settingTable) {
        if (info.field == field)
            return &info;
    }
    return nullptr;
}

const SettingChoice* findSettingChoice(const SettingInfo& info, std::int32_t value)
{
    for (int i = 0; i < info.choiceCount; ++i) {
        if (info.choices[i].value == value)
            return &info.choices[i];
    }
    return nullptr;
}

bool isValidSettingValue(const SettingInfo& info, std::int64_t value)
{
    if (value < info.minimum || value > info.maximum)
        return false;
    if (info.choices != nullptr)
        return findSettingChoice(info, std::int32_t(value)) != nullptr;
    return true;
}

CheckedSetting checkSetting(const SettingInfo& info, std::optional<std::int64_t> raw)
{
    if (!raw)
        return {info.defaultValue, false};
    if (isValidSettingValue(info, *raw))
        return {std::int32_t(*raw), true};
    if (info.clampsToRange)
        return {*raw < info.minimum ? info.minimum : info.maximum, false};
    return {info.defaultValue, false};
}
