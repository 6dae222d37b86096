#pragma once

// Every section and key of settings.ini, in one place.
namespace quorvel::settings {

// Sections.
inline constexpr const char* kOptionsDialog = "Options Dialog";
inline constexpr const char* kTorSettings = "Tor settings";
inline constexpr const char* kMainMenu = "Main menu";
inline constexpr const char* kAnonymization = "Anonymization";
inline constexpr const char* kCleanOptions = "Clean options";
inline constexpr const char* kPrivacyTest = "Privacy test";
inline constexpr const char* kCountrySelection = "Country selection";
inline constexpr const char* kIeProxyBackup = "IE proxy settings backup";
inline constexpr const char* kFirefoxProxyBackup = "Firefox proxy settings backup";
inline constexpr const char* kNetscapeProxyBackup = "Netscape proxy settings backup";
inline constexpr const char* kAimProxyBackup = "AIM Classic proxy settings backup";
inline constexpr const char* kWindowsMessengerProxyBackup = "Windows Messenger proxy settings backup";
inline constexpr const char* kYahooProxyBackup = "Yahoo! Messenger proxy settings backup";
inline constexpr const char* kIcqProxyBackup = "ICQ proxy settings backup";

// "Options Dialog".
inline constexpr const char* kLanguage = "Language";
inline constexpr const char* kShowBalloonTips = "ShowBaloonTips";
inline constexpr const char* kFirstStart = "First start";
inline constexpr const char* kFirefoxProfile = "Firefox profile";
inline constexpr const char* kNetscapeProfile = "Netscape profile";
inline constexpr const char* kCurrentGroup = "Current group";
inline constexpr const char* kCurrentBrowser = "Current browser";
inline constexpr const char* kCurrentIm = "Current IM";
inline constexpr const char* kCleanReport = "Clean report";
inline constexpr const char* kOs = "OS";
inline constexpr const char* kOsVersion = "OS version";
inline constexpr const char* kBrowser = "Browser";
inline constexpr const char* kBrowserVersion = "Browser version";
inline constexpr const char* kFalseLanguage = "False language";
inline constexpr const char* kAgentRadio = "Agent radio";
inline constexpr const char* kLanguageRadio = "Language radio";
inline constexpr const char* kUserAgent = "User Agent";
inline constexpr const char* kLanguageField = "Language field";
inline constexpr const char* kFirefoxLanguagesBackup = "Firefox languages backup";
inline constexpr const char* kNetscapeLanguagesBackup = "Netscape languages backup";
inline constexpr const char* kIeLang = "IE lang";

// "Tor settings".
inline constexpr const char* kTorPort = "Tor port";
inline constexpr const char* kTorIpPeriod = "Tor IP period";
inline constexpr const char* kIsTorRunning = "IsTorRunning";

// "Main menu".
inline constexpr const char* kMode = "Mode";

// "Anonymization": one key per client program.
inline constexpr const char* kInternetExplorer = "Internet Explorer";
inline constexpr const char* kFirefox = "Firefox";
inline constexpr const char* kNetscape = "Netscape";
inline constexpr const char* kAimClassic = "AIM Classic";
inline constexpr const char* kWindowsMessenger = "Windows Messenger";
inline constexpr const char* kYahooMessenger = "Yahoo! Messenger";
inline constexpr const char* kIcq = "ICQ";

// "Clean options" (all boolean, default false).
inline constexpr const char* kIeCache = "IE cache";
inline constexpr const char* kIeCookies = "IE cookies";
inline constexpr const char* kIeUrlCache = "IE url cache";
inline constexpr const char* kIeFormsAndPasswords = "IE forms and passwords";
inline constexpr const char* kIeHistory = "IE history";
inline constexpr const char* kFirefoxCache = "Firefox cache";
inline constexpr const char* kFirefoxCookies = "Firefox cookies";
inline constexpr const char* kFirefoxHistory = "Firefox history";
inline constexpr const char* kFirefoxFormsAndPasswords = "Firefox forms and passwords";
inline constexpr const char* kFirefoxDownloadsHistory = "Firefox downloads history";
inline constexpr const char* kNetscapeCache = "Netscape cache";
inline constexpr const char* kNetscapeCookies = "Netscape cookies";
inline constexpr const char* kNetscapeHistory = "Netscape history";
inline constexpr const char* kNetscapeFormsAndPasswords = "Netscape forms and passwords";
inline constexpr const char* kNetscapeDownloadsHistory = "Netscape downloads history";

// "Privacy test".
inline constexpr const char* kCustomPrivacyTest = "Custom privacy test";
inline constexpr const char* kFirstCustomPrivacyTest = "First custom privacy test";
inline constexpr const char* kSecondCustomPrivacyTest = "Second custom privacy test";
inline constexpr const char* kThirdCustomPrivacyTest = "Third custom privacy test";
inline constexpr const char* kCustomPrivacyTestNumber = "Custom privacy test number";
inline constexpr const char* kCustomPrivacyTestUrl = "Custom privacy test url";

// "Country selection".
inline constexpr const char* kCurrentCountry = "Current country";

// Backup sections.
inline constexpr const char* kLanSettings = "LAN-settings";
inline constexpr const char* kLan = "LAN";
inline constexpr const char* kProxy = "Proxy";
inline constexpr const char* kProxyEnable = "Proxy enable";
inline constexpr const char* kProxyPort = "Proxy port";
inline constexpr const char* kProxyHost = "Proxy host";
inline constexpr const char* kProxyProtocol = "Proxy protocol";
inline constexpr const char* kSocksEnable = "Socks enable";
inline constexpr const char* kHttpProxyEnable = "HTTP proxy enable";
inline constexpr const char* kSocksPort = "Socks port";
inline constexpr const char* kSocksVersion = "Socks version";
inline constexpr const char* kSocksServer = "Socks Server";
inline constexpr const char* kProxyUsed = "Proxy used";
inline constexpr const char* kUseProxyToResolveHostName = "Use proxy to resolve host name";

// The blank value written where a backup has nothing to keep.
inline constexpr const char* kBlank = " ";

} // namespace quorvel::settings
