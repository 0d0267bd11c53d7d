#pragma once

#include <string>

namespace kelvane::app {

/// What the settings load and save use of the main window: its controls, CheckAuto and the
/// language setting. Texts are the controls' bytes; the window converts at its edge.
class SettingsView {
public:
    virtual ~SettingsView() = default;

    /// Sets the status label's text.
    virtual void setLabel1Text(const std::string& text) = 0;
    /// Sets the gauge's position.
    virtual void setGauge1Progress(int progress) = 0;

    /// The source directory field.
    virtual std::string edit1Text() const = 0;
    virtual void setEdit1Text(const std::string& text) = 0;
    /// The destination unit field.
    virtual std::string edit2Text() const = 0;
    virtual void setEdit2Text(const std::string& text) = 0;
    /// The destination database field.
    virtual std::string edit3Text() const = 0;
    virtual void setEdit3Text(const std::string& text) = 0;

    /// The "Auto" switch.
    virtual bool checkBox1Checked() const = 0;
    /// Sets the "Auto" switch; a change of state runs CheckBox1Click, as a click does.
    virtual void setCheckBox1Checked(bool checked) = 0;
    /// Applies the Auto rule to the destination database field and its browse button.
    virtual void CheckAuto() = 0;

    /// The language setting, carried from load to save and used by nothing else.
    virtual std::string language() const = 0;
    virtual void setLanguage(const std::string& language) = 0;
};

} // namespace kelvane::app
