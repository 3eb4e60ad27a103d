# cmake -DIN=page.1 -DOUT=page.1 -DVERSION=x.y.z -P ManPage.cmake
# Copies the manual page with the version on its title line taken from the
# project, so the installed page and --version agree.
file(READ "${IN}" page)
string(REGEX REPLACE "(\\.TH [^\n]*\")Quorvane [^\"]*\"" "\\1Quorvane ${VERSION}\"" stamped "${page}")
if(stamped STREQUAL page AND NOT page MATCHES "\"Quorvane ${VERSION}\"")
  message(FATAL_ERROR "${IN}: no \"Quorvane <version>\" on the .TH line")
endif()
file(WRITE "${OUT}" "${stamped}")
