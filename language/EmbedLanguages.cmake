# Writes OUTPUT, a C++ source that holds the language files of TEXTS named by LANGUAGES
# (a list of codes, English first) as byte arrays, with the table LanguageFiles() returns.
set(Arrays "")
set(Entries "")
set(Index 0)
foreach(Code IN LISTS LANGUAGES)
  file(READ ${TEXTS}/${Code}.txt Hex HEX)
  string(LENGTH "${Hex}" HexLength)
  math(EXPR Size "${HexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," Bytes "${Hex}")
  string(APPEND Arrays "const char Language${Index}[] = {${Bytes}};\n")
  string(APPEND Entries "    {\"${Code}\", std::string_view(Language${Index}, ${Size})},\n")
  math(EXPR Index "${Index} + 1")
endforeach()
file(WRITE ${OUTPUT}.new "// Made by language/EmbedLanguages.cmake from language/texts; do not edit.
#include \"language/Languages.h\"

namespace qe {
namespace {

${Arrays}
const TLanguageFile Files[] = {
${Entries}};

} // namespace

std::span<const TLanguageFile> LanguageFiles()
{
    return Files;
}

} // namespace qe
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
