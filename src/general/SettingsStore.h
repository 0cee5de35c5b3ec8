#pragma once

#include <QString>

// The per-user settings store: one INI file per application name,
// $XDG_CONFIG_HOME/ZelPrintDemo/<app>.ini (or ~/.config/ZelPrintDemo/<app>.ini), the section
// as group, text values. The file is found afresh on every call, so a changed
// XDG_CONFIG_HOME takes effect at once.
namespace zel {

QString GetSetting(const QString& app, const QString& section, const QString& key,
                   const QString& defaultValue);
// Raises 75 (path/file access error) when the value cannot be written.
void SaveSetting(const QString& app, const QString& section, const QString& key,
                 const QString& value);

// The file that holds the settings of `app` ('/' in the name becomes '_').
QString SettingsFilePath(const QString& app);

// The application title the windows keep their placement under: "ZelPrintDemo" unless set.
QString AppTitle();
void setAppTitle(const QString& title);

// The leading number of a text, as stored values are read back: blanks, tabs and line feeds
// are skipped anywhere, then an optional sign, digits, a decimal point and an exponent are
// taken as far as they go; a text without a number, or a number too small for a Double, gives
// 0; one too large raises 6 (overflow).
double LeadingNumber(const QString& text);

}  // namespace zel
