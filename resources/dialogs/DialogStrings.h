#pragma once

// Texts both programs show: the settings text file, the colour dialog, the
// about box and the Help menus.
namespace DialogStrings {

// settings text file
inline constexpr char SettingsHeaderLine[] = "Inproper modification of this file may lead to SW malfunction";
inline constexpr char SettingsSeparatorLine[] = "-------------------------------------------------------------";

// colour dialog
inline constexpr char ColorSettingsCaption[] = "Color settings";
inline constexpr char ColorChannel[] = "Channel ";
inline constexpr char ColorChannelSuffixA[] = " A";
inline constexpr char ColorChannelSuffixB[] = " B";
inline constexpr char ColorGrid[] = "Grid";
inline constexpr char ColorBackground[] = "Background";
inline constexpr char ColorSetButton[] = "Set    ";
inline constexpr char ColorOK[] = "OK";
inline constexpr char ColorCancel[] = "Cancel";

// about box
inline constexpr char AboutCaption[] = "About";
inline constexpr char AboutFindUsAt[] = "Find us at:";
inline constexpr char AboutContactUsAt[] = "Contact us at:";
inline constexpr char AboutSoftwareVersion[] = "Software version:";
inline constexpr char AboutUSBDriverVersion[] = "USB driver version:";
inline constexpr char AboutDeviceSN[] = "Device SN:";
inline constexpr char AboutOK[] = "OK";
inline constexpr char AboutVersionNotAvailable[] = "N/A";
// The maker's web page and support address (the Help menus use them too).
inline constexpr char CompanySiteText[] = "www.example.com";
inline constexpr char CompanySiteAddress[] = "https://www.example.com/";
inline constexpr char CompanyMailText[] = "support@example.com";
inline constexpr char CompanyMailAddress[] = "mailto:support@example.com";

// help page, web page and mail address that nothing on the machine opens
inline constexpr char NoProgramToOpen[] = "%1 could not be opened: there is no program on this computer to open it.";

} // namespace DialogStrings
