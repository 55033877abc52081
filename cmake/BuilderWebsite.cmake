# Where the notice under the installer's welcome text links to, for a vendor who wants an
# installer of their own: QE_BUILDER_WEBSITE, given when setup.exe is built. Without an
# address the notice names the builder and links nowhere: a link to a name that never
# resolves would only fail. Also run as a script (cmake -DQE_BUILDER_WEBSITE=... -P) by
# the tests of its checks.
set(QE_BUILDER_WEBSITE "" CACHE STRING
  "web address (http:// or https://) that the installer's notice links to; empty: the notice has no link")
if(NOT QE_BUILDER_WEBSITE STREQUAL "")
  if(NOT QE_BUILDER_WEBSITE MATCHES "^https?://([A-Za-z0-9-]+\\.)+[A-Za-z][A-Za-z0-9-]*(:[0-9]+)?(/[^ \t<>\"]*)?$")
    message(FATAL_ERROR "QE_BUILDER_WEBSITE \"${QE_BUILDER_WEBSITE}\" is no web address: "
                        "write http:// or https://, a host name with a dot, and a path without blanks, < > or \"")
  endif()
  string(REGEX REPLACE "^https?://([^:/]+).*$" "\\1" host "${QE_BUILDER_WEBSITE}")
  string(TOLOWER "${host}" host)
  if(host MATCHES "(^|\\.)(example|test|invalid|localhost)$" OR host MATCHES "(^|\\.)example\\.(com|net|org)$")
    message(FATAL_ERROR "QE_BUILDER_WEBSITE names ${host}, a name reserved for examples that never resolves")
  endif()
endif()
