// One page of the options sheet: a dialog resource whose controls show one
// group of the settings. The sheet loads a page when it is first shown and
// has it save when the user accepts; pages the user never opened keep their
// group as it was.
#pragma once

#include "package/ProjectSettings.h"

#include <windows.h>
#include <prsht.h>

#include <cstdint>
#include <string>

namespace lumbra {

class OptionPage {
public:
    OptionPage(int templateId, ProjectSettings& settings) : templateId_(templateId), settings_(settings) {}
    OptionPage(const OptionPage&) = delete;
    OptionPage& operator=(const OptionPage&) = delete;
    virtual ~OptionPage() = default;

    // The page for the sheet; null when it cannot be made.
    HPROPSHEETPAGE create(HINSTANCE instance);

protected:
    // Fills the controls from the settings group.
    virtual void load(HWND page) = 0;
    // Rebuilds the settings group from the controls.
    virtual void save(HWND page) = 0;
    // A control's notification (WM_COMMAND); used to enable dependent controls.
    virtual void command(HWND page, int id, int code) {}
    // Other messages a page handles itself; true when handled.
    virtual bool message(HWND page, UINT message, WPARAM wParam, LPARAM lParam) { return false; }

    ProjectSettings& settings() { return settings_; }

    // Control helpers. Radio groups are given as consecutive ids.
    static bool checked(HWND page, int id);
    static void setChecked(HWND page, int id, bool on);
    static void setFlag(std::uint32_t& bits, std::uint32_t bit, bool on);
    static int chosenRadio(HWND page, int first, int last); // index, or -1
    static void chooseRadio(HWND page, int first, int last, int index);
    static void enable(HWND page, int id, bool on);
    static std::string text(HWND page, int id);
    // Numbers are shown with "%d" and read back as decimal integers; text
    // that is not a number reads as 0.
    static void setNumber(HWND page, int id, int value);
    static int number(HWND page, int id);

private:
    static INT_PTR CALLBACK proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    ProjectSettings& settings_;
};

// Reads a decimal integer as the pages do: leading digits (after an optional
// sign and white space); anything else reads as 0; clamped to 0-65535.
std::uint16_t readFieldNumber(const std::string& text);

} // namespace lumbra
