#!/usr/bin/env bash
# Makes the Wine prefix show Chinese and Japanese text as a Windows that has those fonts
# does: Windows' own CJK faces (SimSun, MS UI Gothic and their kin), which the system
# links to its dialog fonts, are Debian's WenQuanYi Micro Hei and IPA Gothic here; and the
# system's fonts for captions, menus and message boxes ask for the default character set,
# as Windows stores them, so that Wine links those faces in instead of drawing boxes.
# Runs once per prefix (WINEPREFIX); later calls find its last step done and do nothing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
run="$top/e2e/wine-run.sh"
export QE_WINE_FONTS=1
grep -qs '^"Tahoma Bold"=str(7):"ipagp.ttf' "$WINEPREFIX/system.reg" && exit 0

replace() {
  "$run" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1
}
replace SimSun "WenQuanYi Micro Hei"
replace NSimSun "WenQuanYi Micro Hei Mono"
replace "Microsoft YaHei" "WenQuanYi Micro Hei"
replace "Microsoft YaHei UI" "WenQuanYi Micro Hei"
replace "MS Gothic" IPAGothic
replace "MS PGothic" IPAPGothic
replace "MS UI Gothic" IPAPGothic

# A LOGFONTW: byte 23 is its character set; Wine's defaults say ANSI_CHARSET (0).
metrics='HKCU\Control Panel\Desktop\WindowMetrics'
for font in CaptionFont SmCaptionFont MenuFont StatusFont MessageFont IconFont; do
  value=$("$run" reg query "$metrics" /v "$font" 2>/dev/null | tr -d '\r' | awk '$2 == "REG_BINARY" {print $3}')
  [ ${#value} -ge 48 ] || continue
  "$run" reg add "$metrics" /v "$font" /t REG_BINARY /d "${value:0:46}01${value:48}" /f >/dev/null 2>&1
done

# Wine links other faces to a font by the name of the face it picked, and links Tahoma
# alone, not "Tahoma Bold": the bold captions of windows and message boxes would show
# boxes. Windows links the whole family. Wine's own links name the files, so these do too.
"$run" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "Tahoma Bold" \
  /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic\0wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
