// The settings table's validation and value texts, any row and any number or
// text: checkSetting gives a value the row accepts, the raw value itself
// when the row accepts it, else the default or, for a row that clamps, the
// nearest end of its range; a text is taken only as a value the row accepts,
// and refused with a message that names the option; every accepted value
// printed in each form the option takes reads back as itself; a stored name
// is found whatever its case.
//
// Input: a row, a presence byte and a 64-bit raw value, then the text.
#include <cctype>
#include <cstdio>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "settings/setting_options.h"
#include "settings/settings.h"

namespace {

void checkValidation(const SettingInfo& info, std::optional<std::int64_t> raw)
{
    const CheckedSetting checked = checkSetting(info, raw);
    expectProperty(isValidSettingValue(info, checked.value), "validation gave a value the row refuses");
    if (!raw) {
        expectProperty(checked.value == info.defaultValue && !checked.valid, "a missing value is not the default");
        return;
    }
    if (isValidSettingValue(info, *raw)) {
        expectProperty(checked.value == *raw && checked.valid, "an accepted value changed");
        return;
    }
    expectProperty(!checked.valid, "a refused value called valid");
    if (info.clampsToRange && *raw < info.minimum)
        expectProperty(checked.value == info.minimum, "a value below a clamping range is not its lower end");
    else if (info.clampsToRange && *raw > info.maximum)
        expectProperty(checked.value == info.maximum, "a value above a clamping range is not its upper end");
    else
        expectProperty(checked.value == info.defaultValue, "a refused value is not the default");
}

std::string upper(std::string text)
{
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Every form the option documents for the value.
std::vector<std::string> printedForms(const SettingInfo& info, std::int32_t value)
{
    std::vector<std::string> forms;
    switch (info.kind) {
    case SettingKind::Switch:
    case SettingKind::Number:
        forms.push_back(std::to_string(value));
        break;
    case SettingKind::Colour: {
        char text[16];
        std::snprintf(text, sizeof text, "%06X", unsigned(value));
        forms.push_back(text);
        forms.push_back("#" + lower(text));
        break;
    }
    case SettingKind::Texture:
    case SettingKind::Choice: {
        forms.push_back(std::to_string(value));
        const SettingChoice* choice = findSettingChoice(info, value);
        expectProperty(choice != nullptr, "an accepted value of a named kind without a name");
        forms.push_back(choice->name);
        forms.push_back(upper(choice->name));
        forms.push_back(lower(choice->name));
        break;
    }
    }
    return forms;
}

void checkPrinted(const SettingInfo& info, std::int32_t value)
{
    for (const std::string& form : printedForms(info, value)) {
        std::int32_t read = 0;
        expectProperty(parseSettingText(info, form.c_str(), read) && read == value,
                       std::string(info.storedName) + ": a printed value does not read back: " + form);
    }
}

void checkText(const SettingInfo& info, const std::string& text)
{
    std::int32_t value = 0;
    if (parseSettingText(info, text.c_str(), value)) {
        expectProperty(isValidSettingValue(info, value), "a text taken as a value the row refuses");
        checkPrinted(info, value);
        return;
    }
    if (info.kind == SettingKind::Switch)
        return;
    // Refused through the options: the message names the option.
    const SettingOptions options(nullptr, 0);
    const int row = int(&info - settingTable);
    Settings settings;
    std::string error;
    expectProperty(!options.apply(settingOptionCodeBase + 2 * row, text.c_str(), settings, error),
                   "an option takes a text its setting refuses");
    expectProperty(error.find(std::string("--") + info.optionName) != std::string::npos,
                   "the refusal does not name the option: " + error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const SettingInfo& info = settingTable[input.byte() % settingCount];
    const bool present = (input.byte() & 1) != 0;
    const std::int64_t raw = input.value<std::int64_t>();
    checkValidation(info, present ? std::optional<std::int64_t>(raw) : std::nullopt);
    // An accepted number reads back from each of its printed forms.
    if (isValidSettingValue(info, raw))
        checkPrinted(info, std::int32_t(raw));

    const std::string text = input.text();
    checkText(info, text);
    const SettingInfo* found = findSetting(text.c_str());
    if (found != nullptr)
        expectProperty(sameSettingName(found->storedName, text.c_str()), "found a row by another name");
    expectProperty(findSetting(upper(info.storedName).c_str()) == &info, "a stored name in capitals not found");
    return 0;
}
