# The program's version, set here and nowhere else: the update check compares it with the version that the
# update server announces, the version record of the executable carries it, and the About box shows it.
#
# It is one decimal number, not dotted parts: the check reads the first five bytes of the server's manifest as
# a number (1.2 is newer than 1.17, and 1.100 reads as 1.1) and fetches the package named after the shortest
# text of that number. So only such a shortest text of at most five characters can be offered: no leading
# zeros, no zeros at the end of the fraction, no point without a fraction.
set(ZAPNIX_VERSION "1.17" CACHE STRING "The program's version: a decimal number such as 1.17, five characters at most")

if(NOT ZAPNIX_VERSION MATCHES "^(0|[1-9][0-9]*)(\\.([0-9]*[1-9]))?$")
  message(FATAL_ERROR "ZAPNIX_VERSION '${ZAPNIX_VERSION}' is not a decimal number in its shortest form (such as 1.17)")
endif()
set(zapnix_version_whole "${CMAKE_MATCH_1}")
set(zapnix_version_fraction "${CMAKE_MATCH_3}")
string(LENGTH "${ZAPNIX_VERSION}" zapnix_version_length)
if(zapnix_version_length GREATER 5)
  message(FATAL_ERROR "ZAPNIX_VERSION '${ZAPNIX_VERSION}' is longer than the five characters that the update check reads")
endif()
if(zapnix_version_whole GREATER 65535)
  message(FATAL_ERROR "ZAPNIX_VERSION '${ZAPNIX_VERSION}' does not fit the version record")
endif()

# The version record holds whole numbers, which Windows compares part by part. The fraction goes in as
# thousandths (1.17 is 1.170, 1.2 is 1.200), so that the record orders versions as the update check does;
# five characters leave at most three digits after the point.
string(SUBSTRING "${zapnix_version_fraction}000" 0 3 zapnix_version_thousandths)
# Without leading zeros: the resource compiler would read 070 as an octal number.
string(REGEX REPLACE "^0+([0-9])" "\\1" zapnix_version_thousandths "${zapnix_version_thousandths}")
set(ZAPNIX_FILE_VERSION "${zapnix_version_whole},${zapnix_version_thousandths},0,0")

configure_file(${CMAKE_CURRENT_LIST_DIR}/ZapnixVersion.h.in ${PROJECT_BINARY_DIR}/generated/ZapnixVersion.h @ONLY)
