#include "tools/qepack/Manifest.h"

namespace qe {

std::string StarterManifest()
{
    return R"(# Product manifest for qepack: `qepack build product.toml -o MyProductSetup.exe`.
# Every key is described in docs/manifest.md. Paths of source files are relative to
# this file's folder. Write Windows targets in 'single quotes': in "double quotes" a
# backslash starts an escape.

[product]
name = "My Expert"             # names the program folder, Start Menu folder and uninstall entry
version = "1.0"                # MAJOR.MINOR, shown as "My Expert v1.0"
# build = 1                    # shown on the ready page as " Build 1" when above 0
# release = 1                  # shown after the build as " Release 1" when above 0
# show_notice = true           # the welcome text ends with the producer's notice
# description = "My Expert for MetaTrader 4"  # the installer's file description
# copyright = "Copyright 2026 My Company"     # the installer's copyright line

[publisher]
name = "My Company"            # also names the website shortcut "My Company Website.url"
# website = "www.example.com"
# address = "1 Main Street, Town"
# contact = "Support Team"
# email = "support@example.com"

[documents]                    # RTF or UTF-8 text files; each is optional
# license = "License.rtf"      # shown on the licence page, which every installer has
# readme = "Readme.rtf"        # adds an information page
# news = "WhatsNew.rtf"        # adds a news page

[installer]
# banner = "banner.jpg"        # a 160 x 320 JPEG picture beside the welcome text
# experts_override = "1 1 0"   # up to 8 of "1" (set), "0" (clear), " " (keep): see docs/manifest.md
# data_folders = true          # also install {metatrader} files into each terminal's data folder
# languages = ["de", "en"]     # the wizard's languages; without the key, all ten (docs/manifest.md)

# One [[file]] per file, folder ("MQL4/Libraries/") or pattern ("MQL4/Indicators/*.ex4").
# For a folder or pattern the target names the folder the files go into.
# [[file]]
# source = "MQL4/Experts/MyExpert.ex4"
# target = '{metatrader}\MQL4\Experts\MyExpert.ex4'
#
# [[file]]
# source = "MQL4/Indicators/*.ex4"
# target = '{metatrader}\MQL4\Indicators'
#
# [[file]]
# source = "Manual.pdf"
# target = '{app}\Manual.pdf'
# shortcut = "My Expert Manual"  # a Start Menu shortcut to the installed file
)";
}

} // namespace qe
