#pragma once
// What a launcher shows of its maker: its icon, its version information and
// the execution level its manifest requests; and with a product name, that
// name wherever the stub names the launcher's own product (the progress
// window's explanatory text in every language, the manifest's identity and
// description, the file description). nvpack writes them into the stub's
// resources before it appends the payload; a launcher packed without them
// carries the stub's own, byte for byte.

#include <cstddef>
#include <string>
#include <vector>

namespace nvpack {

struct Branding {
    std::string icon;              // an .ico file: replaces icon 102
    std::string productName;       // ProductName, and what names the product (above)
    std::string productVersion;    // "a.b.c.d": ProductVersion, FileVersion and the fixed versions
    std::string company;           // CompanyName
    std::string description;       // FileDescription
    std::string copyright;         // LegalCopyright
    std::string executionLevel;    // asInvoker, highestAvailable or requireAdministrator
    std::string internalName;      // InternalName (namedAfterOutput: the output's name without extension)
    std::string originalFilename;  // OriginalFilename (namedAfterOutput: the output's file name)
    // The icon as the user gave it, for messages: "--icon app.ico" or
    // "app.nvpack line 4: ICON app.ico" (icon is then the resolved path).
    std::string iconGivenAs;

    bool any() const;
};

// One branding setting as the command line and a manifest give it.
struct BrandingSetting {
    const char* option;   // "--icon"
    const char* tag;      // "ICON"
    const char* setting;  // for claimSetting: "the icon"
    std::string Branding::*field;
    bool isPath;  // a manifest's relative path starts at its directory
};

// The setting whose `option` (or `tag`, as `field` says) is `name`, else null.
const BrandingSetting* findBrandingSetting(const std::string& name, const char* BrandingSetting::*field);

// Stores `value` of `setting`, given at `place` (for messages) and written
// there as `givenAs` ("--icon app.ico"); throws PackError for an empty value,
// which would brand nothing.
void setBranding(Branding& branding, const BrandingSetting& setting, const std::string& value, const std::string& place,
                 const std::string& givenAs);

// `branding` with InternalName and OriginalFilename following `output`
// (a path; its file name "setup.exe" gives "setup" and "setup.exe") where
// they are not given, when the branding rewrites the version information:
// the stub's own name the launcher's file, not the author's.
Branding namedAfterOutput(const Branding& branding, const std::string& output);

// The lines of nvpack's report that say what brandStub applies, each
// starting "branding: "; one line saying that there is none without branding.
std::string brandingReport(const Branding& branding);

// What may not come out as the author means it, as complete sentences:
// a product name too wide for the progress window.
std::vector<std::string> brandingWarnings(const Branding& branding);

// Returns `stub` (the executable `stubName`) with the branding written into
// its resources. Throws PackError naming the setting and the reason for a
// value that is not of its form (an icon file that is none, a version that
// is not one to four numbers 0-65535, text that is not UTF-8, a product name
// with a control character, an unknown execution level), for a stub whose
// resources it cannot rewrite (see PeImage::replaceResources), and for a
// product name when the stub has its explanatory text in a language that
// nvpack has no text for (ProductTexts.h). A product version also becomes
// the version of the manifest's own assemblyIdentity, in four parts.
std::string brandStub(const std::string& stub, const std::string& stubName, const Branding& branding);

}  // namespace nvpack
