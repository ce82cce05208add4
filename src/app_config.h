// Build-time configuration of the installer. The product's fixed values are
// here; the deployment data comes from CMake cache variables of the same
// names (see the top-level CMakeLists.txt), generated into one configuration
// object per installer build from src/app_config.cc.in.

#ifndef APP_CONFIG_H_
#define APP_CONFIG_H_

namespace config {

// Fixed by the product.
constexpr char kProductId[] = "ORVChina";
constexpr char kLauncherName[] = "orvlauncher.exe";
constexpr char kMarkerExtension[] = ".qlmcps";
// The shortcuts' file name, as bytes of the GBK code page.
constexpr char kDisplayName[] = "Velmora";

// Deployment data.
extern const char kServiceEndpoint[];
extern const char kWebSite[];
extern const char kAgreementSite[];
extern const char kSigningKey[];

}  // namespace config

#endif  // APP_CONFIG_H_
